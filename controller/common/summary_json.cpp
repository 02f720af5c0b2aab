// Writing the summary file with nlohmann-json.
#include "controller/common/summary_json.h"

#include <nlohmann/json.hpp>

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace controller {

namespace {

nlohmann::json textOrNull(const std::string& text) {
  return text.empty() ? nlohmann::json(nullptr) : nlohmann::json(text);
}

const char* statusName(FrameStatus status) {
  switch (status) {
    case FrameStatus::Done:
      return "done";
    case FrameStatus::Failed:
      return "failed";
    case FrameStatus::NotRendered:
      return "not_rendered";
  }
  return "failed";
}

}  // namespace

std::string isoTime(std::chrono::system_clock::time_point time) {
  const std::time_t seconds = std::chrono::system_clock::to_time_t(time);
  std::tm utc{};
  gmtime_r(&seconds, &utc);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
  return text;
}

std::string summaryJson(const JobSummary& summary) {
  nlohmann::json frames = nlohmann::json::array();
  for (const FrameRecord& record : summary.frames) {
    nlohmann::json files = nlohmann::json::array();
    for (const CheckedFile& file : record.files) {
      files.push_back({{"path", file.pluginPath},
                       {"local_path", file.localPath},
                       {"bytes", file.bytes},
                       {"width", file.width},
                       {"height", file.height}});
    }
    frames.push_back({{"frame", record.frame},
                      {"status", statusName(record.status)},
                      {"seconds", record.seconds},
                      {"files", files},
                      {"error", textOrNull(record.reason)},
                      {"fault_report", textOrNull(record.faultReport)},
                      {"plugin_log", textOrNull(record.pluginLog)},
                      {"maxsim_log", textOrNull(record.maxsimLog)}});
  }
  const nlohmann::json document = {
      {"scene", summary.scene},
      {"frames_spec", summary.frameSpec},
      {"started", isoTime(summary.started)},
      {"ended", isoTime(summary.ended)},
      {"exit_code", summary.exitCode},
      {"job_error", summary.jobError ? nlohmann::json(*summary.jobError) : nlohmann::json()},
      {"frames", frames}};
  return document.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

void writeSummaryJson(const std::string& path, const JobSummary& summary) {
  const std::string temporary = path + ".tmp";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out << summaryJson(summary);
    out.flush();
    if (!out) throw std::runtime_error("cannot write " + temporary);
  }
  std::error_code error;
  std::filesystem::rename(temporary, path, error);
  if (error) throw std::runtime_error("cannot rename " + temporary + ": " + error.message());
}

}  // namespace controller

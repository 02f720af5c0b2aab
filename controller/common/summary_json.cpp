// Writing and reading the summary file with nlohmann-json.
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

FrameStatus statusOf(const std::string& name) {
  if (name == "done") return FrameStatus::Done;
  if (name == "failed") return FrameStatus::Failed;
  return FrameStatus::NotRendered;
}

std::string textOf(const nlohmann::json& object, const char* key) {
  const auto found = object.find(key);
  return found != object.end() && found->is_string() ? found->get<std::string>() : "";
}

template <typename Number>
Number numberOf(const nlohmann::json& object, const char* key, Number otherwise) {
  const auto found = object.find(key);
  return found != object.end() && found->is_number() ? found->get<Number>() : otherwise;
}

FrameRecord frameRecordOf(const nlohmann::json& object) {
  FrameRecord record;
  record.frame = numberOf(object, "frame", 0);
  record.status = statusOf(textOf(object, "status"));
  record.seconds = numberOf(object, "seconds", 0.0);
  const auto files = object.find("files");
  if (files != object.end() && files->is_array()) {
    for (const nlohmann::json& file : *files) {
      record.files.push_back({textOf(file, "path"), textOf(file, "local_path"),
                              numberOf<std::uintmax_t>(file, "bytes", 0),
                              numberOf(file, "width", 0), numberOf(file, "height", 0)});
    }
  }
  record.reason = textOf(object, "error");
  record.faultReport = textOf(object, "fault_report");
  record.pluginLog = textOf(object, "plugin_log");
  record.maxsimLog = textOf(object, "maxsim_log");
  return record;
}

}  // namespace

nlohmann::json frameRecordJson(const FrameRecord& record) {
  nlohmann::json files = nlohmann::json::array();
  for (const CheckedFile& file : record.files) {
    files.push_back({{"path", file.pluginPath},
                     {"local_path", file.localPath},
                     {"bytes", file.bytes},
                     {"width", file.width},
                     {"height", file.height}});
  }
  return {{"frame", record.frame},
          {"status", statusName(record.status)},
          {"seconds", record.seconds},
          {"files", files},
          {"error", textOrNull(record.reason)},
          {"fault_report", textOrNull(record.faultReport)},
          {"plugin_log", textOrNull(record.pluginLog)},
          {"maxsim_log", textOrNull(record.maxsimLog)}};
}

std::optional<JobSummary> readSummaryJson(const std::string& path) {
  std::ifstream in(path);
  if (!in) return std::nullopt;
  nlohmann::json document;
  try {
    document = nlohmann::json::parse(in);
  } catch (const nlohmann::json::exception&) {
    return std::nullopt;  // a torn or foreign file counts as no summary
  }
  if (!document.is_object() || !document.contains("frames") || !document["frames"].is_array())
    return std::nullopt;
  JobSummary summary;
  summary.scene = textOf(document, "scene");
  summary.frameSpec = textOf(document, "frames_spec");
  summary.exitCode = numberOf(document, "exit_code", -1);
  if (document.contains("job_error") && document["job_error"].is_string())
    summary.jobError = document["job_error"].get<std::string>();
  for (const nlohmann::json& frame : document["frames"])
    summary.frames.push_back(frameRecordOf(frame));
  return summary;
}

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
  for (const FrameRecord& record : summary.frames) frames.push_back(frameRecordJson(record));
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

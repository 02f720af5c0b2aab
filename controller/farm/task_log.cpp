// Reading a task's console log back: frames started, done and failed, their files and progress.
#include "controller/farm/task_log.h"

#include "controller/worker/images/image_files.h"

#include <filesystem>
#include <fstream>
#include <regex>

namespace farm {
namespace {

// The worker escapes control characters in file names (\t, \xNN...); a name with a literal
// backslash sequence cannot be told apart, so such a file simply does not verify.
bool fileVerifies(const controller::CheckedFile& file) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(file.localPath, error)) return false;
  try {
    const worker::Image image = worker::readImage(file.localPath);
    return image.width == file.width && image.height == file.height;
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace

TaskLog readTaskLog(const std::string& path) {
  static const std::regex startLine(R"(^FRAME: (-?\d+) start)");
  static const std::regex doneLine(R"(^DONE: (-?\d+) )");
  static const std::regex failedLine(R"(^FAILED: (-?\d+) )");
  static const std::regex stitchLine(R"(^FRAME: (-?\d+) (done|failed))");
  static const std::regex fileLine(R"(^FILE: (-?\d+) (ok (\d+)x(\d+)|failed) (.*)$)");
  static const std::regex progressLine(R"(^PROGRESS: \d+%.*)");
  TaskLog log;
  std::ifstream in(path);
  std::string line;
  std::smatch match;
  const auto frame = [&](const std::smatch& m) -> LoggedFrame& {
    LoggedFrame& logged = log.frames[std::stoi(m[1])];
    logged.record.frame = std::stoi(m[1]);
    return logged;
  };
  while (std::getline(in, line)) {
    if (std::regex_search(line, match, stitchLine)) {
      frame(match).state = match[2] == "done" ? LoggedState::Done : LoggedState::Failed;
    } else if (std::regex_search(line, match, startLine)) {
      // A frame started again (a later session) begins afresh.
      frame(match) = LoggedFrame{};
      frame(match).state = LoggedState::Started;
    } else if (std::regex_search(line, match, doneLine)) {
      frame(match).state = LoggedState::Done;
    } else if (std::regex_search(line, match, failedLine)) {
      frame(match).state = LoggedState::Failed;
    } else if (std::regex_match(line, match, fileLine)) {
      LoggedFrame& logged = frame(match);
      if (match[3].matched) {
        controller::CheckedFile file;
        file.localPath = match[5];
        file.width = std::stoi(match[3]);
        file.height = std::stoi(match[4]);
        logged.record.files.push_back(file);
      } else {
        logged.badFile = true;
      }
    } else if (std::regex_match(line, progressLine)) {
      log.progress = line.substr(10);
    }
  }
  return log;
}

std::map<int, controller::FrameRecord> verifiedDoneFrames(const TaskLog& log) {
  std::map<int, controller::FrameRecord> done;
  for (const auto& [number, logged] : log.frames) {
    if (logged.state != LoggedState::Done || logged.badFile || logged.record.files.empty())
      continue;
    bool verified = true;
    for (const controller::CheckedFile& file : logged.record.files)
      verified = verified && fileVerifies(file);
    if (!verified) continue;
    controller::FrameRecord record = logged.record;
    record.status = controller::FrameStatus::Done;
    for (controller::CheckedFile& file : record.files)
      file.bytes = std::filesystem::file_size(file.localPath);
    done.emplace(number, record);
  }
  return done;
}

}  // namespace farm

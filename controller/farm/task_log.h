// What a task's console log tells about its frames: the worker's line format read back.
#pragma once

#include "controller/common/frame_record.h"

#include <map>
#include <string>

namespace farm {

/// How far a frame got by its task's log.
enum class LoggedState { Started, Done, Failed };

/// One frame as its task's log shows it: the last of its `FRAME: F start`, `DONE:` and `FAILED:`
/// lines, and the files of its `FILE: F ok WxH PATH` lines.
struct LoggedFrame {
  LoggedState state = LoggedState::Started;
  controller::FrameRecord record;
  /// A `FILE: F failed` line was seen: the frame cannot count as done.
  bool badFile = false;
};

/// A task's log read once: its frames and its last progress line (the text after "PROGRESS: ").
/// The stitching task's `FRAME: F done|failed` lines are read too.
struct TaskLog {
  std::map<int, LoggedFrame> frames;
  std::string progress;
};

/// Reads the log at the path; a missing log reads as empty.
TaskLog readTaskLog(const std::string& path);

/// The frames the log shows done whose every file is still there and decodes at the size the
/// log gives: what a task that left no summary rendered for certain. Each record has those
/// files; its status is Done.
std::map<int, controller::FrameRecord> verifiedDoneFrames(const TaskLog& log);

}  // namespace farm

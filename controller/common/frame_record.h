// What became of one frame of a render: its status, checked files and why it failed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace controller {

/// A file a frame produced, as checked.
struct CheckedFile {
  /// The name the plug-in reported (a Windows path), empty for files the worker made itself.
  std::string pluginPath;
  /// Where it was checked on this machine.
  std::string localPath;
  std::uintmax_t bytes = 0;
  int width = 0;
  int height = 0;
};

/// A frame's end: rendered and verified, failed, or never attempted.
enum class FrameStatus { Done, Failed, NotRendered };

/// What became of one frame.
struct FrameRecord {
  int frame = 0;
  FrameStatus status = FrameStatus::NotRendered;
  double seconds = 0;
  std::vector<CheckedFile> files;
  /// Why the frame failed or was not rendered (first line shown in the table).
  std::string reason;
  /// The fault report of a crash the plug-in trapped, empty when none.
  std::string faultReport;
  /// The plug-in log and maxsim output of the session that rendered the frame.
  std::string pluginLog;
  std::string maxsimLog;

  bool succeeded() const { return status == FrameStatus::Done; }
};

}  // namespace controller

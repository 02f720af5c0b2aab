// The steps a frame's rendering is made of, as the render run offers them to its parts.
#pragma once

#include "controller/common/expected.h"
#include "controller/worker/display/progress_display.h"
#include "controller/common/frame_record.h"

#include <string>
#include <vector>

namespace worker {

/// A file of one frame: where it is and what it should be.
struct ExpectedFile {
  /// The name the plug-in reported, empty for a file the worker made.
  std::string pluginPath;
  std::string local;
  int width;
  int height;
};

/// Commands on the session that renders the frame, and the checks of its files.
class FrameSteps {
 public:
  virtual ~FrameSteps() = default;
  /// False once the session broke off (a later step then has nothing to talk to).
  virtual bool hasSession() const = 0;
  /// Sends an option command (no reply).
  virtual void option(const std::vector<std::string>& fields) = 0;
  /// Renders the frame with RenderTask.
  virtual controller::Expected<void> renderTask(int frame) = 0;
  /// The files the plug-in wrote for the last RenderTask, as it names them.
  virtual controller::Expected<std::vector<std::string>> writtenFiles(int frame) = 0;
  /// Decodes and checks each file and adds it to `checked`; fails on the first bad one.
  virtual controller::Expected<void> checkFiles(int frame, const std::vector<ExpectedFile>& files,
                                                std::vector<controller::CheckedFile>& checked) = 0;
  virtual ProgressDisplay& display() = 0;
  /// The commands that follow render part `part` (from 0) of `parts` equal parts of the frame
  /// (its tiles): their progress is shown as the frame's, rising over the parts.
  virtual void progressPart(size_t part, size_t parts) = 0;
};

}  // namespace worker

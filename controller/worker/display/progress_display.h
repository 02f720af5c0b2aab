// What the worker tells while it renders: the events of a run, for the lines or the live bar.
#pragma once

#include "controller/common/frame_record.h"

#include <cstddef>
#include <string>

namespace worker {

/// Hears the steps of a render as they happen. LineDisplay prints them as the stable lines of
/// docs/worker.md, BarDisplay as those lines with a live bar in place of the progress lines.
class ProgressDisplay {
 public:
  virtual ~ProgressDisplay() = default;

  virtual void jobStarted(const std::string& scene, const std::string& frameSpec,
                          size_t frameCount) = 0;
  virtual void frameStarted(int frame, size_t index) = 0;
  /// A title from the plug-in; a percentage the plug-in puts at its end is not part of it.
  virtual void title(int frame, const std::string& text) = 0;
  /// The frame's percentage; negative values (no percentage) are ignored.
  virtual void progress(int frame, float percent) = 0;
  virtual void scriptOutput(int frame, const std::string& text) = 0;
  /// A checked file: problem empty when it is good.
  virtual void fileChecked(int frame, const std::string& path, int width, int height,
                           const std::string& problem) = 0;
  /// A warning about the frame that does not fail it.
  virtual void frameWarning(int frame, const std::string& text) = 0;
  /// An error reply or failure text; every line of it is printed.
  virtual void frameError(int frame, const std::string& text) = 0;
  /// The frame's end: done, failed, or never attempted.
  virtual void frameFinished(const controller::FrameRecord& record) = 0;
  /// A message of the worker itself about the job.
  virtual void note(const std::string& text) = 0;
  /// Something odd about the job as a whole that fails nothing.
  virtual void jobWarning(const std::string& text) = 0;
  /// Why the job as a whole cannot go on; every line of it is printed.
  virtual void jobError(const std::string& text) = 0;
  virtual void jobFinished(size_t succeeded) = 0;
};

/// Seconds written with two decimals and an "s" ("1.25s").
std::string formatSeconds(double seconds);

}  // namespace worker

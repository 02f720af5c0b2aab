// The render's steps as stable lines, one per step, for logs and farm managers' parsers.
#pragma once

#include "controller/worker/display/progress_display.h"

#include <ostream>

namespace worker {

/// Prints every step as one line in the form of docs/worker.md ("FRAME: 12 start 3/10",
/// "PROGRESS: 50% frame 12 job 25%", "ERROR: job ..."). The stream is borrowed.
class LineDisplay : public ProgressDisplay {
 public:
  explicit LineDisplay(std::ostream& out);

  void jobStarted(const std::string& scene, const std::string& frameSpec,
                  size_t frameCount) override;
  void frameStarted(int frame, size_t index) override;
  void title(int frame, const std::string& text) override;
  void progress(int frame, float percent) override;
  void scriptOutput(int frame, const std::string& text) override;
  void fileChecked(int frame, const std::string& path, int width, int height,
                   const std::string& problem) override;
  void frameWarning(int frame, const std::string& text) override;
  void frameError(int frame, const std::string& text) override;
  void frameFinished(const controller::FrameRecord& record) override;
  void note(const std::string& text) override;
  void jobWarning(const std::string& text) override;
  void jobError(const std::string& text) override;
  void jobFinished(size_t succeeded) override;

 protected:
  /// Prints one finished line.
  virtual void line(const std::string& text);
  /// Prints each line of text after the prefix.
  void lines(const std::string& prefix, const std::string& text);
  /// Takes a new title; false when it shows the same.
  bool updateTitle(const std::string& text);
  /// Takes a new frame percentage; false when neither whole percentage changed.
  bool updatePercent(float percent);

  std::ostream& out_;
  size_t frameCount_ = 0;
  size_t frameIndex_ = 0;
  size_t framesFinished_ = 0;
  int frame_ = 0;
  std::string title_;
  int framePercent_ = -1;
  int jobPercent_ = -1;
};

}  // namespace worker

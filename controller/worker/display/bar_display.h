// The live bar on a terminal: the render's lines, with the progress redrawn in place below them.
#pragma once

#include "controller/worker/display/line_display.h"
#include "controller/worker/session/watchdog.h"

namespace worker {

/// Prints the same lines as LineDisplay, except PROGRESS and TITLE: those become one bar line,
/// redrawn in place and never wider than the terminal, with the frames done and in all, the
/// elapsed time and an estimate of the time left. The stream and the clock are borrowed.
class BarDisplay : public LineDisplay {
 public:
  /// columns: the terminal's width; colour: whether to colour the bar.
  BarDisplay(std::ostream& out, const Clock& clock, int columns, bool colour);

  void jobStarted(const std::string& scene, const std::string& frameSpec,
                  size_t frameCount) override;
  void title(int frame, const std::string& text) override;
  void progress(int frame, float percent) override;
  void jobFinished(size_t succeeded) override;

  /// The bar's text (without colour) for the state now, at most `columns` - 1 characters.
  std::string barText() const;

 protected:
  void line(const std::string& text) override;

 private:
  void drawBar();
  void clearBar();

  const Clock& clock_;
  int columns_;
  bool colour_;
  std::chrono::steady_clock::time_point started_;
  bool barShown_ = false;
};

/// "1:05" for 65 seconds, "1:01:05" from an hour on.
std::string formatDuration(double seconds);

}  // namespace worker

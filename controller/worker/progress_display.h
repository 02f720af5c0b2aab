// What the worker shows while it renders: one stable line per step, and a live bar on a terminal.
#pragma once

#include <cstddef>
#include <ostream>
#include <string>

namespace worker {

/// Prints a render's steps. Every step is one line in the stable form of docs/worker.md
/// ("FRAME: 12 start 3/10", "PROGRESS: 25% frame 12 50%", ...). In live mode the progress and
/// the title are a bar redrawn in place instead of PROGRESS and TITLE lines; the other lines are
/// printed above it. The stream is borrowed.
class ProgressDisplay {
 public:
  ProgressDisplay(std::ostream& out, bool live);

  void jobStarted(const std::string& scene, const std::string& frameSpec, size_t frameCount);
  void frameStarted(int frame, size_t index);
  /// A title from the plug-in; a percentage the plug-in puts at its end is not part of it.
  void title(int frame, const std::string& text);
  /// The frame's percentage; negative values (no percentage) are ignored.
  void progress(int frame, float percent);
  void scriptOutput(int frame, const std::string& text);
  /// A checked file: problem empty when it is good.
  void fileChecked(int frame, const std::string& path, int width, int height,
                   const std::string& problem);
  /// A warning about the frame that does not fail it.
  void frameWarning(int frame, const std::string& text);
  /// An error reply or failure text; every line of it is printed.
  void frameError(int frame, const std::string& text);
  void frameFinished(int frame, bool succeeded, double seconds, const std::string& reason);
  /// A message of the worker itself.
  void note(const std::string& text);
  void jobFinished(size_t succeeded);

 private:
  void line(const std::string& text);
  void drawBar();
  void clearBar();

  std::ostream& out_;
  bool live_;
  size_t frameCount_ = 0;
  size_t frameIndex_ = 0;
  int frame_ = 0;
  std::string title_;
  int framePercent_ = -1;
  int jobPercent_ = -1;
  bool barShown_ = false;
};

/// Seconds written with two decimals and an "s" ("1.25s").
std::string formatSeconds(double seconds);

}  // namespace worker

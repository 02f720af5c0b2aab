// The stable progress lines.
#include "controller/worker/display/line_display.h"

#include "controller/common/text.h"

#include <cmath>
#include <cstdio>
#include <regex>

namespace worker {

namespace {

/// The render callback appends " - 12.5%" to the renderer's title.
std::string withoutPercentage(const std::string& title) {
  static const std::regex percentage(" - -?[0-9.]+%$");
  return std::regex_replace(title, percentage, "");
}

}  // namespace

std::string formatSeconds(double seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2fs", seconds);
  return text;
}

LineDisplay::LineDisplay(std::ostream& out) : out_(out) {}

void LineDisplay::line(const std::string& text) {
  out_ << text << '\n' << std::flush;
}

void LineDisplay::lines(const std::string& prefix, const std::string& text) {
  size_t start = 0;
  for (;;) {
    const size_t end = text.find('\n', start);
    line(prefix + controller::escapeControls(text.substr(start, end - start)));
    if (end == std::string::npos) break;
    start = end + 1;
  }
}

void LineDisplay::jobStarted(const std::string& scene, const std::string& frameSpec,
                             size_t frameCount) {
  frameCount_ = frameCount;
  line("JOB: start " + std::to_string(frameCount) + " frames " +
       controller::escapeControls(frameSpec) + " scene " + controller::escapeControls(scene));
}

void LineDisplay::frameStarted(int frame, size_t index) {
  frame_ = frame;
  frameIndex_ = index;
  title_.clear();
  framePercent_ = -1;
  line("FRAME: " + std::to_string(frame) + " start " + std::to_string(index + 1) + "/" +
       std::to_string(frameCount_));
}

bool LineDisplay::updateTitle(const std::string& text) {
  const std::string shown = controller::escapeControls(withoutPercentage(text));
  if (shown == title_) return false;
  title_ = shown;
  return true;
}

bool LineDisplay::updatePercent(float percent) {
  if (!(percent >= 0)) return false;
  const int framePercent = static_cast<int>(std::floor(std::fmin(percent, 100.0f)));
  const size_t count = frameCount_ == 0 ? 1 : frameCount_;
  const int jobPercent =
      static_cast<int>(std::floor((static_cast<double>(frameIndex_) + framePercent / 100.0) *
                                  100.0 / static_cast<double>(count)));
  if (framePercent == framePercent_ && jobPercent == jobPercent_) return false;
  framePercent_ = framePercent;
  jobPercent_ = jobPercent;
  return true;
}

void LineDisplay::title(int frame, const std::string& text) {
  if (updateTitle(text)) line("TITLE: " + std::to_string(frame) + " " + title_);
}

void LineDisplay::progress(int frame, float percent) {
  if (!updatePercent(percent)) return;
  line("PROGRESS: " + std::to_string(framePercent_) + "% frame " + std::to_string(frame) + " job " +
       std::to_string(jobPercent_) + "%");
}

void LineDisplay::scriptOutput(int frame, const std::string& text) {
  lines("STDOUT: " + std::to_string(frame) + " ", text);
}

void LineDisplay::fileChecked(int frame, const std::string& path, int width, int height,
                              const std::string& problem) {
  if (problem.empty()) {
    line("FILE: " + std::to_string(frame) + " ok " + std::to_string(width) + "x" +
         std::to_string(height) + " " + controller::escapeControls(path));
  } else {
    line("FILE: " + std::to_string(frame) + " failed " + controller::escapeControls(path) + ": " +
         controller::escapeControls(problem));
  }
}

void LineDisplay::frameWarning(int frame, const std::string& text) {
  lines("WARNING: " + std::to_string(frame) + " ", text);
}

void LineDisplay::frameError(int frame, const std::string& text) {
  lines("ERROR: " + std::to_string(frame) + " ", text);
}

void LineDisplay::frameFinished(const controller::FrameRecord& record) {
  framePercent_ = -1;
  ++framesFinished_;
  const std::string seconds = formatSeconds(record.seconds);
  if (record.succeeded()) {
    line("DONE: " + std::to_string(record.frame) + " " + seconds);
    return;
  }
  std::string text = "FAILED: " + std::to_string(record.frame) + " " + seconds;
  if (!record.reason.empty())
    text += " " + controller::escapeControls(record.reason.substr(0, record.reason.find('\n')));
  line(text);
}

void LineDisplay::note(const std::string& text) {
  lines("NOTE: ", text);
}

void LineDisplay::jobWarning(const std::string& text) {
  lines("WARNING: job ", text);
}

void LineDisplay::jobError(const std::string& text) {
  lines("ERROR: job ", text);
}

void LineDisplay::jobFinished(size_t succeeded) {
  line("JOB: done " + std::to_string(succeeded) + "/" + std::to_string(frameCount_) +
       " frames succeeded");
}

}  // namespace worker

// Progress lines and the live bar.
#include "controller/worker/progress_display.h"

#include <cmath>
#include <cstdio>
#include <regex>

namespace worker {

namespace {

constexpr int barWidth = 30;

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

ProgressDisplay::ProgressDisplay(std::ostream& out, bool live) : out_(out), live_(live) {}

void ProgressDisplay::line(const std::string& text) {
  clearBar();
  out_ << text << '\n';
  if (live_) {
    drawBar();
  } else {
    out_.flush();
  }
}

void ProgressDisplay::clearBar() {
  if (barShown_) out_ << "\r\033[K";
  barShown_ = false;
}

void ProgressDisplay::drawBar() {
  if (frameCount_ == 0 || framePercent_ < 0) return;
  const int filled = barWidth * framePercent_ / 100;
  out_ << "\r\033[K[" << std::string(static_cast<size_t>(filled), '#')
       << std::string(static_cast<size_t>(barWidth - filled), '-') << "] " << framePercent_
       << "% frame " << frame_ << " (" << frameIndex_ + 1 << "/" << frameCount_ << ") " << title_;
  out_.flush();
  barShown_ = true;
}

void ProgressDisplay::jobStarted(const std::string& scene, const std::string& frameSpec,
                                 size_t frameCount) {
  frameCount_ = frameCount;
  line("JOB: start " + std::to_string(frameCount) + " frames " + frameSpec + " scene " + scene);
}

void ProgressDisplay::frameStarted(int frame, size_t index) {
  frame_ = frame;
  frameIndex_ = index;
  title_.clear();
  framePercent_ = -1;
  line("FRAME: " + std::to_string(frame) + " start " + std::to_string(index + 1) + "/" +
       std::to_string(frameCount_));
}

void ProgressDisplay::title(int frame, const std::string& text) {
  const std::string shown = withoutPercentage(text);
  if (shown == title_) return;
  title_ = shown;
  if (live_) {
    drawBar();
  } else {
    line("TITLE: " + std::to_string(frame) + " " + shown);
  }
}

void ProgressDisplay::progress(int frame, float percent) {
  if (!(percent >= 0)) return;
  const int framePercent = static_cast<int>(std::floor(std::fmin(percent, 100.0f)));
  const size_t count = frameCount_ == 0 ? 1 : frameCount_;
  const int jobPercent =
      static_cast<int>(std::floor((static_cast<double>(frameIndex_) + framePercent / 100.0) *
                                  100.0 / static_cast<double>(count)));
  if (framePercent == framePercent_ && jobPercent == jobPercent_) return;
  framePercent_ = framePercent;
  jobPercent_ = jobPercent;
  if (live_) {
    drawBar();
  } else {
    line("PROGRESS: " + std::to_string(jobPercent) + "% frame " + std::to_string(frame) + " " +
         std::to_string(framePercent) + "%");
  }
}

void ProgressDisplay::scriptOutput(int frame, const std::string& text) {
  line("STDOUT: " + std::to_string(frame) + " " + text);
}

void ProgressDisplay::fileChecked(int frame, const std::string& path, int width, int height,
                                  const std::string& problem) {
  if (problem.empty()) {
    line("FILE: " + std::to_string(frame) + " ok " + std::to_string(width) + "x" +
         std::to_string(height) + " " + path);
  } else {
    line("FILE: " + std::to_string(frame) + " failed " + path + ": " + problem);
  }
}

void ProgressDisplay::frameWarning(int frame, const std::string& text) {
  line("WARNING: " + std::to_string(frame) + " " + text);
}

void ProgressDisplay::frameError(int frame, const std::string& text) {
  size_t start = 0;
  for (;;) {
    const size_t end = text.find('\n', start);
    line("ERROR: " + std::to_string(frame) + " " + text.substr(start, end - start));
    if (end == std::string::npos) break;
    start = end + 1;
  }
}

void ProgressDisplay::frameFinished(int frame, bool succeeded, double seconds,
                                    const std::string& reason) {
  framePercent_ = -1;
  std::string text = "FRAME: " + std::to_string(frame) + (succeeded ? " done " : " failed ") +
                     formatSeconds(seconds);
  if (!succeeded && !reason.empty()) text += " " + reason.substr(0, reason.find('\n'));
  line(text);
}

void ProgressDisplay::note(const std::string& text) {
  line("NOTE: " + text);
}

void ProgressDisplay::jobFinished(size_t succeeded) {
  line("JOB: done " + std::to_string(succeeded) + "/" + std::to_string(frameCount_) +
       " frames succeeded");
}

}  // namespace worker

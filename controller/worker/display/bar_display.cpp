// The live bar: sized to the terminal, with time elapsed and left, in colour when asked.
#include "controller/worker/display/bar_display.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace worker {

std::string formatDuration(double seconds) {
  const long total = std::lround(std::max(0.0, seconds));
  char text[32];
  if (total >= 3600) {
    std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", total / 3600, total / 60 % 60, total % 60);
  } else {
    std::snprintf(text, sizeof text, "%ld:%02ld", total / 60, total % 60);
  }
  return text;
}

BarDisplay::BarDisplay(std::ostream& out, const Clock& clock, int columns, bool colour)
    : LineDisplay(out), clock_(clock), columns_(columns), colour_(colour), started_(clock.now()) {}

void BarDisplay::jobStarted(const std::string& scene, const std::string& frameSpec,
                            size_t frameCount) {
  started_ = clock_.now();
  LineDisplay::jobStarted(scene, frameSpec, frameCount);
}

void BarDisplay::title(int, const std::string& text) {
  if (updateTitle(text)) drawBar();
}

void BarDisplay::progress(int, float percent) {
  if (updatePercent(percent)) drawBar();
}

void BarDisplay::jobFinished(size_t succeeded) {
  framePercent_ = -1;
  LineDisplay::jobFinished(succeeded);
}

void BarDisplay::line(const std::string& text) {
  clearBar();
  out_ << text << '\n';
  drawBar();
}

void BarDisplay::clearBar() {
  if (barShown_) out_ << "\r\033[K";
  barShown_ = false;
}

std::string BarDisplay::barText() const {
  const double elapsed = std::chrono::duration<double>(clock_.now() - started_).count();
  const double done = (static_cast<double>(frameIndex_) + std::max(framePercent_, 0) / 100.0) /
                      static_cast<double>(std::max<size_t>(frameCount_, 1));
  std::string text = " " + std::to_string(framePercent_) + "% frame " + std::to_string(frame_) +
                     " | " + std::to_string(framesFinished_) + "/" + std::to_string(frameCount_) +
                     " frames | " + formatDuration(elapsed);
  if (done > 0.001) text += " left " + formatDuration(elapsed / done * (1 - done));
  if (!title_.empty()) text += " | " + title_;
  // The bar takes a quarter of the line, between 10 and 30 characters.
  const size_t room = static_cast<size_t>(std::max(columns_ - 1, 1));
  const size_t width = std::clamp<size_t>(room / 4, 10, 30);
  const size_t filled = width * static_cast<size_t>(framePercent_) / 100;
  text = "[" + std::string(filled, '#') + std::string(width - filled, '-') + "]" + text;
  return text.substr(0, room);
}

void BarDisplay::drawBar() {
  if (frameCount_ == 0 || framePercent_ < 0) return;
  std::string text = barText();
  if (colour_) {
    const size_t end = std::min(text.find(']'), text.size());
    text = "\033[32m" + text.substr(0, end) + "\033[0m" + text.substr(end);
  }
  out_ << "\r\033[K" << text << std::flush;
  barShown_ = true;
}

}  // namespace worker

// Parsing frame lists: items, ranges and steps, with errors that point at the offending place.
#include "controller/common/frame_spec.h"

#include <cctype>
#include <climits>
#include <cstdint>
#include <set>

namespace controller {

namespace {

class FrameSpecParser {
 public:
  explicit FrameSpecParser(const std::string& spec) : spec_(spec) {}

  std::vector<int> parse() {
    if (spec_.find_first_not_of(' ') == std::string::npos) fail("the frame list is empty", 0);
    for (;;) {
      item();
      skipBlanks();
      if (at_ == spec_.size()) break;
      if (spec_[at_] != ',') fail("expected a comma between items", at_);
      ++at_;
    }
    return frames_;
  }

 private:
  void item() {
    skipBlanks();
    itemStart_ = at_;
    const std::int64_t first = number("a frame number");
    skipBlanks();
    if (at_ == spec_.size() || spec_[at_] != '-') {
      add(first);
      return;
    }
    ++at_;
    skipBlanks();
    const std::int64_t last = number("the last frame of the range");
    skipBlanks();
    std::int64_t step = 1;
    if (at_ < spec_.size() && (spec_[at_] == 'x' || spec_[at_] == 'X')) {
      ++at_;
      skipBlanks();
      const size_t stepAt = at_;
      step = number("a step");
      if (step < 1) fail("the step must be at least 1", stepAt);
    }
    const std::int64_t direction = last >= first ? 1 : -1;
    for (std::int64_t frame = first; direction > 0 ? frame <= last : frame >= last;
         frame += direction * step) {
      add(frame);
    }
  }

  std::int64_t number(const char* what) {
    const size_t start = at_;
    bool negative = false;
    if (at_ < spec_.size() && spec_[at_] == '-') {
      negative = true;
      ++at_;
    }
    if (at_ == spec_.size() || !std::isdigit(static_cast<unsigned char>(spec_[at_]))) {
      fail(std::string("expected ") + what, at_);
    }
    std::int64_t value = 0;
    while (at_ < spec_.size() && std::isdigit(static_cast<unsigned char>(spec_[at_]))) {
      value = value * 10 + (spec_[at_] - '0');
      if (value > INT_MAX) fail("the number is too large", start);
      ++at_;
    }
    return negative ? -value : value;
  }

  void add(std::int64_t frame) {
    // A typing slip such as 1-1000000000 must not exhaust memory.
    if (frames_.size() >= maxFrames) fail("more than 1000000 frames", itemStart_);
    if (seen_.insert(frame).second) frames_.push_back(static_cast<int>(frame));
  }

  void skipBlanks() {
    while (at_ < spec_.size() && spec_[at_] == ' ') ++at_;
  }

  [[noreturn]] void fail(const std::string& problem, size_t where) const {
    throw FrameSpecError("bad frame list: " + problem + "\n  " + spec_ + "\n  " +
                         std::string(where, ' ') + "^");
  }

  const std::string& spec_;
  static constexpr size_t maxFrames = 1000000;
  size_t at_ = 0;
  size_t itemStart_ = 0;
  std::vector<int> frames_;
  std::set<std::int64_t> seen_;
};

}  // namespace

std::vector<int> parseFrameSpec(const std::string& spec) {
  return FrameSpecParser(spec).parse();
}

}  // namespace controller

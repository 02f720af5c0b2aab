// Frame lists as render farms write them: "1-10", "1,3,7", "1-100x10", combined with commas.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

namespace controller {

/// A frame list that does not parse. The message names the problem and shows where it is: the
/// list on one line and a caret under the offending character on the next.
class FrameSpecError : public std::invalid_argument {
 public:
  using std::invalid_argument::invalid_argument;
};

/// The frames of a list, in the order written, each frame once (a frame named again is left
/// out). Items are separated by commas, with optional blanks around them: N, A-B (ascending or
/// descending, both ends included) and A-BxS (every S-th frame from A towards B). Frame numbers
/// may be negative ("-5--1"). Throws FrameSpecError.
std::vector<int> parseFrameSpec(const std::string& spec);

}  // namespace controller

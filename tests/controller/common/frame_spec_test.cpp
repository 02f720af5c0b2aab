// Frame lists: the forms farms write, and refusals that point at the offending place.
#include "controller/common/frame_spec.h"

#include "support/message_of.h"

#include <gtest/gtest.h>

namespace {

using controller::FrameSpecError;
using controller::parseFrameSpec;

TEST(FrameSpecTest, ParsesTheFormsFarmsWrite) {
  struct Case {
    std::string spec;
    std::vector<int> frames;
  };
  const Case cases[] = {
      {"7", {7}},
      {"1-4", {1, 2, 3, 4}},
      {"1,3,7", {1, 3, 7}},
      {"1-100x25", {1, 26, 51, 76}},
      {"0-10x5,20", {0, 5, 10, 20}},
      {"4-1", {4, 3, 2, 1}},
      {"10-1x4", {10, 6, 2}},
      {"-2-1", {-2, -1, 0, 1}},
      {"-5--3", {-5, -4, -3}},
      {" 1 - 3 , 5 ", {1, 2, 3, 5}},
      {"1-3,2-5", {1, 2, 3, 4, 5}},
      {"5-5", {5}},
      {"1-3X2", {1, 3}},
  };
  for (const Case& c : cases) EXPECT_EQ(parseFrameSpec(c.spec), c.frames) << c.spec;
}

TEST(FrameSpecTest, RefusesBadListsShowingWhere) {
  struct Case {
    std::string spec;
    std::string problem;
    size_t column;
  };
  const Case cases[] = {
      {"", "the frame list is empty", 0},
      {"1,,3", "expected a frame number", 2},
      {"1-", "expected the last frame of the range", 2},
      {"1-10x0", "the step must be at least 1", 5},
      {"1-10x", "expected a step", 5},
      {"1;3", "expected a comma between items", 1},
      {"1-3 4", "expected a comma between items", 4},
      {"a", "expected a frame number", 0},
      {"1,", "expected a frame number", 2},
      {"99999999999", "the number is too large", 0},
      {"1-2000000000", "more than 1000000 frames", 0},
  };
  for (const Case& c : cases) {
    const std::string expected = "bad frame list: " + c.problem + "\n  " + c.spec + "\n  " +
                                 std::string(c.column, ' ') + "^";
    EXPECT_EQ(messageOf<FrameSpecError>([&] { parseFrameSpec(c.spec); }), expected) << c.spec;
  }
}

}  // namespace

// Frame numbers to host time: the ticks of the frame, and frames whose time the host cannot hold.
#include "host/frame_time.h"

#include "support/message_of.h"

#include <maxsim_state.h>

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

using namespace moonstone;

// The stand-in host starts with 160 ticks per frame.
class FrameTimeTest : public ::testing::Test {
 protected:
  FrameTimeTest() { standin::reset_host(); }
};

TEST_F(FrameTimeTest, IsTheFramesTicksUpToTheEdgesOfTheTimeRange) {
  EXPECT_EQ(frameTime(0), 0);
  EXPECT_EQ(frameTime(12), 1920);
  EXPECT_EQ(frameTime(-1), -160);
  EXPECT_EQ(frameTime(13421772), 2147483520);  // the last frame before 2^31 ticks
  EXPECT_EQ(frameTime(-13421772), -2147483520);
}

TEST_F(FrameTimeTest, RefusesFramesWhoseTimeDoesNotFit) {
  EXPECT_EQ(messageOf<std::runtime_error>([] { frameTime(13421773); }),
            "Frame 13421773 lies outside the host's time range");
  EXPECT_EQ(messageOf<std::runtime_error>([] { frameTime(2147483647); }),
            "Frame 2147483647 lies outside the host's time range");
  EXPECT_EQ(messageOf<std::runtime_error>([] { frameTime(-2147483648LL); }),
            "Frame -2147483648 lies outside the host's time range");
}

}  // namespace

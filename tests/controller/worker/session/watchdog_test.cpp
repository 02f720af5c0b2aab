// The stall watchdog on a clock the test moves by hand.
#include "controller/worker/session/watchdog.h"

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;

class FakeClock : public worker::Clock {
 public:
  std::chrono::steady_clock::time_point now() const override { return now_; }
  void advance(std::chrono::milliseconds step) { now_ += step; }

 private:
  std::chrono::steady_clock::time_point now_{};
};

TEST(WatchdogTest, ExpiresAfterTheLimitOfSilence) {
  FakeClock clock;
  worker::Watchdog watchdog(clock, 1000ms);
  clock.advance(999ms);
  EXPECT_FALSE(watchdog.expired());
  EXPECT_EQ(watchdog.remaining(), 1ms);
  clock.advance(1ms);
  EXPECT_TRUE(watchdog.expired());
  EXPECT_EQ(watchdog.remaining(), 0ms);
}

TEST(WatchdogTest, APacketStartsTheSilenceAgain) {
  FakeClock clock;
  worker::Watchdog watchdog(clock, 1000ms);
  clock.advance(800ms);
  watchdog.feed();
  clock.advance(800ms);
  EXPECT_FALSE(watchdog.expired());
  EXPECT_EQ(watchdog.remaining(), 200ms);
}

TEST(WatchdogTest, ANonPositiveLimitNeverExpires) {
  FakeClock clock;
  worker::Watchdog watchdog(clock, 0ms);
  clock.advance(std::chrono::hours(1000));
  EXPECT_FALSE(watchdog.expired());
  EXPECT_EQ(watchdog.remaining(), std::chrono::milliseconds::max());
}

}  // namespace

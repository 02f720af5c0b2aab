// Packet waits across the tick counter's wrap, moved there by the test's tick-count hook.
#include "tangram/win32/socket_pair.h"
#include "support/message_of.h"
#include "support/tick_count.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>

namespace {

using tangram::win32::simple_socket_timeout_error;

TEST(TickWrapTest, TimeoutsAreMeasuredAcrossTheTickCounterWrap) {
  SocketPair pair;
  const DWORD now = GetTickCount();
  shiftTickCount(static_cast<DWORD>(0xFFFFFFFFu - 100u - now));
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(messageOf<simple_socket_timeout_error>([&] { pair.server.receive(400); }),
            "simple_socket: Timed out waiting for header packet to arrive.");
  shiftTickCount(0);
  // An end time past the wrap must neither expire at once nor be taken as far away.
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(390));
}

}  // namespace

// Packet waits across the tick counter's wrap, moved there by the POSIX stand-in's clock seam.
#include "tangram/win32/socket_pair.h"
#include "support/message_of.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>

namespace {

using tangram::win32::simple_socket_timeout_error;

TEST(TickWrapTest, TimeoutsAreMeasuredAcrossTheTickCounterWrap) {
  SocketPair pair;
  const DWORD now = GetTickCount();
  standin::set_tick_count_offset(static_cast<DWORD>(0xFFFFFFFFu - 100u - now));
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(messageOf<simple_socket_timeout_error>([&] { pair.server.receive(400); }),
            "simple_socket: Timed out waiting for header packet to arrive.");
  standin::set_tick_count_offset(0);
  // An end time past the wrap must neither expire at once nor be taken as far away.
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(390));
}

}  // namespace

// Connection set-up and the errors of a socket in the wrong state.
#include "socket_pair.h"
#include "support/message_of.h"

#include <gtest/gtest.h>

namespace {

using tangram::win32::simple_socket;
using tangram::win32::simple_socket_error;
using tangram::win32::simple_socket_timeout_error;

TEST(SimpleSocketStateTest, IdleSocketRefusesEveryTransfer) {
  simple_socket idle;
  EXPECT_FALSE(idle.is_connected());
  EXPECT_FALSE(idle.is_listening());
  EXPECT_EQ(messageOf<simple_socket_error>([&] { idle.send("x"); }),
            "simple_socket: send called while not connected.");
  EXPECT_EQ(messageOf<simple_socket_error>([&] { idle.receive(10); }),
            "simple_socket: receive while not connected.");
  EXPECT_EQ(messageOf<simple_socket_error>([&] { idle.send_raw("x"); }),
            "simple_socket: send_raw called while not connected.");
  EXPECT_EQ(messageOf<simple_socket_error>([&] { idle.receive_raw(10); }),
            "simple_socket: receive_raw while not connected.");
  EXPECT_EQ(messageOf<simple_socket_error>([&] { idle.wait_for_connect(10, true); }),
            "simple_socket::wait_for_connect: Not listening for a connection.");
}

TEST(SimpleSocketStateTest, SecondConnectKeepsTheFirstConnection) {
  SocketPair pair;
  EXPECT_EQ(messageOf<simple_socket_error>(
                [&] { pair.client.connect("127.0.0.1", pair.server.listening_port()); }),
            "simple_socket::connect: Already connected.");
  pair.client.send("still here");
  EXPECT_EQ(pair.server.receive(5000), "still here");
  EXPECT_EQ(messageOf<simple_socket_error>([&] { pair.server.start_listen(0, true); }),
            "simple_socket::start_listen: Already connected.");
  EXPECT_EQ(messageOf<simple_socket_error>([&] { pair.server.wait_for_connect(10, true); }),
            "simple_socket::wait_for_connect: Already connected.");
}

TEST(SimpleSocketStateTest, ListeningSocketRefusesToConnectOrListenAgain) {
  simple_socket listener;
  listener.start_listen(0, true);
  EXPECT_TRUE(listener.is_listening());
  EXPECT_NE(listener.listening_port(), 0);
  EXPECT_EQ(messageOf<simple_socket_error>([&] { listener.connect("127.0.0.1", 1); }),
            "simple_socket::connect: Already listening for a connection.");
  EXPECT_EQ(messageOf<simple_socket_error>([&] { listener.start_listen(0, true); }),
            "simple_socket::start_listen: Already listening for a connection.");
  EXPECT_EQ(messageOf<simple_socket_timeout_error>([&] { listener.wait_for_connect(50, true); }),
            "simple_socket::wait_for_connect: Timed out waiting for connection.");
  EXPECT_TRUE(listener.is_listening());
}

TEST(SimpleSocketStateTest, InvalidAddressesAreRefusedAndLeaveTheSocketIdle) {
  for (const char* address : {"255.255.255.255", "localhost", "300.1.1.1", ""}) {
    simple_socket socket;
    EXPECT_EQ(messageOf<simple_socket_error>([&] { socket.connect(address, 80); }),
              std::string("simple_socket::connect: Invalid IP address specified, ") + address);
    EXPECT_FALSE(socket.is_connected());
  }
}

TEST(SimpleSocketStateTest, PortsOutsideSixteenBitsAreRefusedWithoutConnecting) {
  simple_socket listener;
  listener.start_listen(0, true);
  const int wrapped = listener.listening_port() + 65536;
  for (int port : {wrapped, 0, -1}) {
    simple_socket socket;
    EXPECT_EQ(messageOf<simple_socket_error>([&] { socket.connect("127.0.0.1", port); }),
              "connect: Failed to connect to server at port " + std::to_string(port));
    EXPECT_FALSE(socket.is_connected());
  }
  // Nobody reached the listener whose port the low 16 bits name.
  EXPECT_THROW(listener.wait_for_connect(100, true), simple_socket_timeout_error);
}

TEST(SimpleSocketStateTest, ConnectingWhereNothingListensFailsAndCloses) {
  int freePort;
  {
    simple_socket probe;
    probe.start_listen(0, true);
    freePort = probe.listening_port();
  }
  simple_socket socket;
  EXPECT_EQ(messageOf<simple_socket_error>([&] { socket.connect("127.0.0.1", freePort); }),
            "connect: Failed to connect to server at port " + std::to_string(freePort));
  EXPECT_FALSE(socket.is_connected());
}

TEST(SimpleSocketStateTest, BindingATakenPortReportsTheWinsockCode) {
  simple_socket first;
  first.start_listen(0, true);
  simple_socket second;
  EXPECT_EQ(
      messageOf<simple_socket_error>([&] { second.start_listen(first.listening_port(), true); }),
      "bind: Failed to bind to the port.: 10048");
  EXPECT_FALSE(second.is_listening());
}

TEST(SimpleSocketStateTest, RawSendIsLimitedToOneBuffer) {
  SocketPair pair;
  EXPECT_EQ(messageOf<simple_socket_error>([&] { pair.client.send_raw(std::string(1537, 'r')); }),
            "simple_socket::send: Tried to send too much data at once.");
  pair.client.send_raw(std::string(1536, 'r'));
  std::string got;
  while (got.size() < 1536) got += pair.server.receive_raw(5000);
  EXPECT_EQ(got, std::string(1536, 'r'));
  EXPECT_EQ(messageOf<simple_socket_timeout_error>([&] { pair.server.receive_raw(50); }),
            "simple_socket::receive_raw: Timed out waiting for raw packet to arrive.");
}

}  // namespace

// Packet framing over a real loopback connection: payloads, limits, and packets cut by timeouts.
#include "socket_pair.h"
#include "support/message_of.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

using tangram::win32::simple_socket_disconnect_error;
using tangram::win32::simple_socket_error;
using tangram::win32::simple_socket_timeout_error;

class FramingTest : public ::testing::Test {
 protected:
  SocketPair pair;
};

TEST_F(FramingTest, PacketsArriveWholeBothWaysWithEmbeddedNulKept) {
  const std::string binary("a\0b\0c", 5);
  pair.client.send("RenderTask,12");
  pair.client.send(binary);
  EXPECT_EQ(pair.server.receive(5000), "RenderTask,12");
  EXPECT_EQ(pair.server.receive(5000), binary);
  pair.server.send("SUCCESS");
  EXPECT_EQ(pair.client.receive(-1), "SUCCESS");
}

TEST_F(FramingTest, EmptyPayloadIsAZeroHeaderOnTheWire) {
  pair.client.send("");
  EXPECT_EQ(pair.server.receive_raw(5000), packetHeader(0));
  pair.client.send("");
  EXPECT_EQ(pair.server.receive(5000), "");
}

TEST_F(FramingTest, SendsTheLargestPacketAndRefusesOneByteMoreWithoutWriting) {
  const std::string largest(99996, 'x');
  std::string received;
  std::thread reader([&] { received = pair.server.receive(10000); });
  pair.client.send(largest);
  reader.join();
  EXPECT_EQ(received, largest);

  EXPECT_EQ(messageOf<simple_socket_error>([&] { pair.client.send(std::string(99997, 'y')); }),
            "simple_socket::send: Tried to send too much data at once.");
  pair.client.send("next");
  EXPECT_EQ(pair.server.receive(5000), "next");  // nothing of the refused packet was written
}

TEST_F(FramingTest, AcceptsAnAnnouncedHundredThousandBytesButNotOneMore) {
  std::thread writer([&] {
    const std::string payload(100000, 'z');
    std::string packet = packetHeader(100000) + payload;
    for (size_t at = 0; at < packet.size(); at += 1536)
      pair.client.send_raw(packet.substr(at, 1536));
  });
  EXPECT_EQ(pair.server.receive(10000).size(), 100000u);
  writer.join();

  pair.client.send_raw(packetHeader(100001));
  EXPECT_EQ(messageOf<simple_socket_error>([&] { pair.server.receive(5000); }),
            "simple_socket::receive: Invalid packet size (given 100001)");
  EXPECT_TRUE(pair.server.is_connected());

  pair.client.send_raw(packetHeader(0xFFFFFFFFu));
  EXPECT_EQ(messageOf<simple_socket_error>([&] { pair.server.receive(5000); }),
            "simple_socket::receive: Invalid packet size (given -1)");
}

TEST_F(FramingTest, ATimeoutBoundsTheWholePacketAndTheNextReceiveCompletesIt) {
  pair.client.send_raw(packetHeader(10) + "01234");
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(messageOf<simple_socket_timeout_error>([&] { pair.server.receive(300); }),
            "simple_socket: Timed out waiting for data.");
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(290));
  EXPECT_TRUE(pair.server.is_connected());

  pair.client.send_raw("56789");
  pair.client.send("after");
  EXPECT_EQ(pair.server.receive(5000), "0123456789");
  EXPECT_EQ(pair.server.receive(5000), "after");
}

TEST_F(FramingTest, APartHeaderThatTimesOutIsCompletedToo) {
  const std::string header = packetHeader(3);
  pair.client.send_raw(header.substr(0, 2));
  EXPECT_EQ(messageOf<simple_socket_timeout_error>([&] { pair.server.receive(100); }),
            "simple_socket: Timed out waiting for data.");
  pair.client.send_raw(header.substr(2) + "abc");
  EXPECT_EQ(pair.server.receive(5000), "abc");
}

TEST_F(FramingTest, NothingArrivingIsAHeaderTimeoutAndZeroTimeoutTakesWhatHasArrived) {
  EXPECT_EQ(messageOf<simple_socket_timeout_error>([&] { pair.server.receive(0); }),
            "simple_socket: Timed out waiting for header packet to arrive.");
  EXPECT_EQ(messageOf<simple_socket_timeout_error>([&] { pair.server.receive(100); }),
            "simple_socket: Timed out waiting for header packet to arrive.");
  // Two packets in one write: once the first is read the second has arrived in full.
  pair.client.send_raw(packetHeader(5) + "first" + packetHeader(6) + "second");
  EXPECT_EQ(pair.server.receive(-1), "first");
  EXPECT_EQ(pair.server.receive(0), "second");
}

class DisconnectTest : public FramingTest {};

TEST_F(DisconnectTest, HangUpWhileWaitingForTheHeaderClosesTheSocket) {
  std::thread closer([&] { pair.client.close(true); });
  EXPECT_EQ(messageOf<simple_socket_disconnect_error>([&] { pair.server.receive(5000); }),
            "simple_socket::receive: socket was disconnected while reading header.");
  closer.join();
  EXPECT_FALSE(pair.server.is_connected());
}

TEST_F(DisconnectTest, HangUpInTheMiddleOfThePayloadClosesTheSocket) {
  pair.client.send_raw(packetHeader(10) + "abc");
  pair.client.close(true);
  EXPECT_EQ(messageOf<simple_socket_disconnect_error>([&] { pair.server.receive(5000); }),
            "simple_socket::receive: socket was disconnected while reading data.");
  EXPECT_FALSE(pair.server.is_connected());
  EXPECT_EQ(messageOf<simple_socket_error>([&] { pair.server.receive(10); }),
            "simple_socket: receive while not connected.");
}

TEST_F(DisconnectTest, RawReceiveOfAClosedPeerIsEmpty) {
  pair.client.close(true);
  EXPECT_EQ(pair.server.receive_raw(5000), "");
}

TEST_F(DisconnectTest, SendingToAPeerThatHasGoneFailsWithoutKillingTheProcess) {
  pair.client.close(true);
  // The first writes may still be taken by the system; a later one must report the reset.
  std::string message = "no exception";
  for (int i = 0; i < 50 && message == "no exception"; ++i) {
    message = messageOf<simple_socket_error>([&] { pair.server.send(std::string(1000, 'x')); });
  }
  EXPECT_EQ(message.rfind("send: error trying to send data: WSAError code ", 0), 0u) << message;
  EXPECT_TRUE(pair.server.is_connected());  // send failures leave the socket as it was
}

}  // namespace

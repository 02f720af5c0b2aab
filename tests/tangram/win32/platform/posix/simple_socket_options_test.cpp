// Socket options of a connection: both ends send every packet at once, without coalescing.
#include "tangram/win32/socket_pair.h"

#include <arpa/inet.h>
#include <dirent.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace {

// The descriptors of this process's TCP connections whose peer is 127.0.0.1:port.
std::vector<int> connectionsTo(unsigned short port) {
  std::vector<int> found;
  DIR* folder = opendir("/proc/self/fd");
  if (!folder) return found;
  while (const dirent* entry = readdir(folder)) {
    const int fd = std::atoi(entry->d_name);
    sockaddr_in peer{};
    socklen_t length = sizeof peer;
    if (entry->d_name[0] == '.' || fd == dirfd(folder)) continue;
    if (getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &length) != 0) continue;
    if (peer.sin_family == AF_INET && ntohs(peer.sin_port) == port) found.push_back(fd);
  }
  closedir(folder);
  return found;
}

int noDelayOf(int fd) {
  int value = 0;
  socklen_t length = sizeof value;
  if (getsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &value, &length) != 0) return -1;
  return value;
}

// A reply sent right after another one must not wait for the peer's delayed acknowledgement:
// that wait cost every RenderTask (which answers "STARTED", then its result) tens of
// milliseconds.
TEST(SimpleSocketOptionsTest, TheConnectingEndDoesNotCoalescePackets) {
  tangram::win32::simple_socket server;
  server.start_listen(0, true);
  const unsigned short port = server.listening_port();
  tangram::win32::simple_socket client;
  client.connect("127.0.0.1", port);
  server.wait_for_connect(10000, true);

  const std::vector<int> clientEnds = connectionsTo(port);
  ASSERT_EQ(clientEnds.size(), 1u);
  EXPECT_EQ(noDelayOf(clientEnds[0]), 1);

  // The stream still carries back-to-back packets whole and in order.
  server.send("STARTED");
  server.send("SUCCESS");
  client.send("RenderTask,1");
  EXPECT_EQ(client.receive(5000), "STARTED");
  EXPECT_EQ(client.receive(5000), "SUCCESS");
  EXPECT_EQ(server.receive(5000), "RenderTask,1");
}

}  // namespace

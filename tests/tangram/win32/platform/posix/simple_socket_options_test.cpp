// Socket options of a connection: both ends send every packet at once, without coalescing, and
// an option that cannot be set never costs the connection.
#include "support/message_of.h"
#include "tangram/win32/socket_pair.h"

#include <arpa/inet.h>
#include <dirent.h>
#include <dlfcn.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {
// While set, the system refuses TCP_NODELAY, as a socket layer without the option would.
std::atomic<bool> refuseNoDelay{false};
}  // namespace

// Stands in for the system's call for the whole test program; everything else reaches the real
// one.
extern "C" int setsockopt(int fd, int level, int name, const void* value,
                          socklen_t length) noexcept {
  if (refuseNoDelay && level == IPPROTO_TCP && name == TCP_NODELAY) {
    errno = ENOPROTOOPT;
    return -1;
  }
  using Call = int (*)(int, int, int, const void*, socklen_t);
  static const Call real = reinterpret_cast<Call>(dlsym(RTLD_NEXT, "setsockopt"));
  return real(fd, level, name, value, length);
}

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
  EXPECT_EQ(client.option_failure(), "");

  // The stream still carries back-to-back packets whole and in order.
  server.send("STARTED");
  server.send("SUCCESS");
  client.send("RenderTask,1");
  EXPECT_EQ(client.receive(5000), "STARTED");
  EXPECT_EQ(client.receive(5000), "SUCCESS");
  EXPECT_EQ(server.receive(5000), "RenderTask,1");
}

TEST(SimpleSocketOptionsTest, AnOptionThatCannotBeSetLeavesBothEndsConnected) {
  using tangram::win32::simple_socket;
  const std::string refused = "Could not disable packet coalescing on the socket.";
  simple_socket server;
  server.start_listen(0, true);
  simple_socket client;
  std::string accepted;
  {
    // Put back however the block is left, so that no later test meets a refusing system.
    const std::unique_ptr<std::atomic<bool>, void (*)(std::atomic<bool>*)> refusing(
        &refuseNoDelay, [](std::atomic<bool>* flag) { *flag = false; });
    refuseNoDelay = true;
    client.connect("127.0.0.1", server.listening_port());
    accepted = messageOf<tangram::win32::simple_socket_error>(
        [&] { server.wait_for_connect(10000, false); });
  }
  EXPECT_EQ(client.option_failure(), refused);
  EXPECT_EQ(accepted, refused);
  ASSERT_TRUE(client.is_connected());
  ASSERT_TRUE(server.is_connected());
  EXPECT_TRUE(server.is_listening());
  client.send("token");
  EXPECT_EQ(server.receive(5000), "token");
  server.send("FoxgloveStartup");
  EXPECT_EQ(client.receive(5000), "FoxgloveStartup");
}

}  // namespace

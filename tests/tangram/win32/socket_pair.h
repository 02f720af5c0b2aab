// Two packet sockets connected to each other over loopback, for the socket tests.
#pragma once

#include "tangram/win32/simple_socket.h"

#include <cstdint>
#include <string>

/// A listening socket that accepted one client: `server` and `client` are the two ends.
struct SocketPair {
  tangram::win32::simple_socket server;
  tangram::win32::simple_socket client;

  SocketPair() {
    server.start_listen(0, true);
    client.connect("127.0.0.1", server.listening_port());
    server.wait_for_connect(10000, true);
  }
};

/// The 4-byte big-endian header announcing `length` payload bytes.
inline std::string packetHeader(uint32_t length) {
  std::string header(4, '\0');
  for (int i = 3; i >= 0; --i) {
    header[static_cast<size_t>(i)] = static_cast<char>(length & 0xFF);
    length >>= 8;
  }
  return header;
}

// The packet socket's three error classes: any failure, a wait that ran out, a peer that hung up.
#pragma once

#include <stdexcept>
#include <string>

namespace tangram::win32 {

/// Every socket failure that is neither a timeout nor a disconnection.
class simple_socket_error : public std::runtime_error {
 public:
  explicit simple_socket_error(const std::string& message) : std::runtime_error(message) {}
};

/// A wait that ran out of time; the connection stays open.
class simple_socket_timeout_error : public simple_socket_error {
 public:
  explicit simple_socket_timeout_error(const std::string& message) : simple_socket_error(message) {}
};

/// The peer closed the connection while a packet was being read; the socket has closed itself.
class simple_socket_disconnect_error : public simple_socket_error {
 public:
  explicit simple_socket_disconnect_error(const std::string& message)
      : simple_socket_error(message) {}
};

}  // namespace tangram::win32

// A blocking TCP socket that carries whole packets: a 4-byte big-endian length, then the payload.
#pragma once

#include "tangram/win32/simple_socket_errors.h"

#include <winsock2.h>

#include <string>

namespace tangram::win32 {

/// One TCP connection carrying packets, with a client side, a server side and a raw mode.
/// All calls block; timeouts are milliseconds measured with the wrapping tick counter, and one
/// end time bounds a whole packet. Not thread-safe: callers serialise their use.
class simple_socket {
 public:
  /// Largest packet, header included, that send() writes.
  static constexpr int max_send_total = 100000;
  /// Largest announced payload that receive() accepts.
  static constexpr unsigned max_receive_payload = 100000;
  /// Largest chunk for send_raw() and receive_raw().
  static constexpr int raw_buffer_size = 1536;

  /// Starts the network library. Throws simple_socket_error "WSAStartup: failed".
  simple_socket();
  /// Starts the network library and connects (see connect()).
  simple_socket(const std::string& ip_address, int port);
  /// Closes both handles and stops the network library.
  ~simple_socket();
  simple_socket(const simple_socket&) = delete;
  simple_socket& operator=(const simple_socket&) = delete;

  bool is_connected() const { return connected_ != INVALID_SOCKET; }
  bool is_listening() const { return listening_ != INVALID_SOCKET; }
  /// The port the listening socket is bound to (useful after start_listen on port 0), or 0.
  unsigned short listening_port() const;

  /// Shuts down and closes the connection, and with also_listener the listening socket too.
  /// A packet partly received is forgotten with the connection.
  void close(bool also_listener);

  /// Connects to a dotted IPv4 address; ports outside 1..65535 are refused without connecting.
  /// A socket option that cannot be set fails nothing: see option_failure().
  void connect(const std::string& ip_address, int port);
  /// Why a socket option of the last connect() could not be set, for the caller's log; empty
  /// when every option was set.
  const std::string& option_failure() const { return option_failure_; }
  /// Listens on the port, on 127.0.0.1 only when local_only, with a backlog of 1.
  void start_listen(unsigned short port, bool local_only);
  /// Waits up to timeout_ms for a peer and accepts it; closes the listener when stop_listening.
  /// An option of the accepted connection that cannot be set throws simple_socket_error, with
  /// the connection (and the listener) left open.
  void wait_for_connect(int timeout_ms, bool stop_listening);

  /// Sends one packet; the whole packet is written even when the system takes it in pieces.
  void send(const std::string& payload);
  /// Receives one packet within timeout_ms (negative: no limit). A packet cut short by a timeout
  /// stays buffered, and the next call completes it, so the stream never falls out of step.
  std::string receive(int timeout_ms);
  /// Sends at most raw_buffer_size bytes without a header.
  void send_raw(const std::string& data);
  /// Returns what one read delivers (at most raw_buffer_size bytes); empty when the peer closed.
  std::string receive_raw(int timeout_ms);

 private:
  void wait_for_data(unsigned end_tick);
  // Reads until the current packet's buffer holds `length` bytes.
  void receive_exact(size_t length, bool wait_each, unsigned end_tick);
  void send_all(const char* data, size_t length);
  /// Sets TCP_NODELAY on the connection; false when that failed.
  bool disable_coalescing();
  void close_handle(SOCKET& handle);

  SOCKET listening_;
  SOCKET connected_;
  sockaddr_in peer_address_;
  // Bytes of the packet being received (header first), kept across a timeout.
  std::string partial_packet_;
  std::string option_failure_;
};

}  // namespace tangram::win32

// Packet socket: connection set-up, packet framing, and waits bounded by one end tick.
#include "tangram/win32/simple_socket.h"

#include <windows.h>
#include <ws2tcpip.h>

#include <boost/lexical_cast.hpp>

#include <cstring>

namespace tangram::win32 {

namespace {

constexpr size_t header_size = 4;

const char* const coalescing_failure = "Could not disable packet coalescing on the socket.";

std::string code_text(int code) {
  return boost::lexical_cast<std::string>(code);
}

// Fills a select() timeout from milliseconds.
timeval timeout_of(int milliseconds) {
  timeval tv{};
  tv.tv_sec = milliseconds / 1000;
  tv.tv_usec = (milliseconds % 1000) * 1000;
  return tv;
}

// Milliseconds from now to end_tick in wrapping 32-bit arithmetic; an end in the past gives 0.
int remaining_ms(unsigned end_tick) {
  const int remaining = static_cast<int>(end_tick - static_cast<unsigned>(GetTickCount()));
  return remaining < 0 ? 0 : remaining;
}

}  // namespace

simple_socket::simple_socket() : listening_(INVALID_SOCKET), connected_(INVALID_SOCKET) {
  std::memset(&peer_address_, 0, sizeof(peer_address_));
  WSADATA data;
  if (WSAStartup(MAKEWORD(2, 2), &data) != 0) throw simple_socket_error("WSAStartup: failed");
}

simple_socket::simple_socket(const std::string& ip_address, int port) : simple_socket() {
  connect(ip_address, port);
}

simple_socket::~simple_socket() {
  close(true);
  WSACleanup();
}

void simple_socket::close_handle(SOCKET& handle) {
  if (handle != INVALID_SOCKET) {
    shutdown(handle, SD_BOTH);
    closesocket(handle);
  }
  handle = INVALID_SOCKET;
}

void simple_socket::close(bool also_listener) {
  close_handle(connected_);
  partial_packet_.clear();
  if (also_listener) close_handle(listening_);
}

// Every packet leaves in one send, so coalescing gains nothing; left on, a packet sent right
// after another one waits for the peer's delayed acknowledgement (tens of milliseconds per
// command that answers twice, such as RenderTask's "STARTED" and final reply). Both ends of the
// connection set it.
bool simple_socket::disable_coalescing() {
  const int no_delay = 1;
  return setsockopt(connected_, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&no_delay),
                    sizeof(no_delay)) != SOCKET_ERROR;
}

void simple_socket::connect(const std::string& ip_address, int port) {
  if (is_connected()) throw simple_socket_error("simple_socket::connect: Already connected.");
  if (is_listening()) {
    throw simple_socket_error("simple_socket::connect: Already listening for a connection.");
  }
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = inet_addr(ip_address.c_str());
  if (address.sin_addr.s_addr == INADDR_NONE) {
    throw simple_socket_error("simple_socket::connect: Invalid IP address specified, " +
                              ip_address);
  }
  const std::string failed = "connect: Failed to connect to server at port " + code_text(port);
  // A port beyond 16 bits would silently reach another port and hand it our token.
  if (port < 1 || port > 65535) throw simple_socket_error(failed);
  address.sin_port = htons(static_cast<unsigned short>(port));

  connected_ = socket(AF_INET, SOCK_STREAM, 0);
  if (connected_ == INVALID_SOCKET) {
    throw simple_socket_error("socket: Failed to create tcp/ip socket.");
  }
  int result;
  do {
    result = ::connect(connected_, reinterpret_cast<const sockaddr*>(&address), sizeof(address));
  } while (result == SOCKET_ERROR && WSAGetLastError() == WSAEINTR);
  if (result == SOCKET_ERROR) {
    close(true);
    throw simple_socket_error(failed);
  }
  // The connection works without the option, only slower: the caller is told, nothing fails.
  option_failure_ = disable_coalescing() ? "" : coalescing_failure;
}

void simple_socket::start_listen(unsigned short port, bool local_only) {
  if (is_connected()) throw simple_socket_error("simple_socket::start_listen: Already connected.");
  if (is_listening()) {
    throw simple_socket_error("simple_socket::start_listen: Already listening for a connection.");
  }
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = local_only ? inet_addr("127.0.0.1") : htonl(INADDR_ANY);

  listening_ = socket(AF_INET, SOCK_STREAM, 0);
  if (listening_ == INVALID_SOCKET) {
    throw simple_socket_error("socket: Failed to create tcp/ip socket.");
  }
  if (bind(listening_, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) ==
      SOCKET_ERROR) {
    const int code = WSAGetLastError();
    close(true);
    throw simple_socket_error("bind: Failed to bind to the port.: " + code_text(code));
  }
  if (listen(listening_, 1) == SOCKET_ERROR) {
    const int code = WSAGetLastError();
    close(true);
    throw simple_socket_error("listen: Failed to listen on socket: " + code_text(code));
  }
}

unsigned short simple_socket::listening_port() const {
  if (!is_listening()) return 0;
  sockaddr_in address{};
  socklen_t length = sizeof(address);
  if (getsockname(listening_, reinterpret_cast<sockaddr*>(&address), &length) == SOCKET_ERROR) {
    return 0;
  }
  return ntohs(address.sin_port);
}

void simple_socket::wait_for_connect(int timeout_ms, bool stop_listening) {
  if (is_connected()) {
    throw simple_socket_error("simple_socket::wait_for_connect: Already connected.");
  }
  if (!is_listening()) {
    throw simple_socket_error("simple_socket::wait_for_connect: Not listening for a connection.");
  }
  fd_set readable;
  FD_ZERO(&readable);
  FD_SET(listening_, &readable);
  timeval tv = timeout_of(timeout_ms);
  const int ready = select(static_cast<int>(listening_) + 1, &readable, nullptr, nullptr, &tv);
  if (ready == SOCKET_ERROR) {
    close(true);
    throw simple_socket_error("select: Error waiting for connection.");
  }
  if (ready == 0) {
    throw simple_socket_timeout_error(
        "simple_socket::wait_for_connect: Timed out waiting for connection.");
  }
  socklen_t length = sizeof(peer_address_);
  connected_ = accept(listening_, reinterpret_cast<sockaddr*>(&peer_address_), &length);
  if (connected_ == INVALID_SOCKET) {
    close(true);
    throw simple_socket_error("accept: failed");
  }
  if (stop_listening) close_handle(listening_);

  // An option that cannot be set is reported, but the connection and the listener stay.
  if (!disable_coalescing()) throw simple_socket_error(coalescing_failure);
  const int send_buffer = 1;
  if (setsockopt(connected_, SOL_SOCKET, SO_SNDBUF, reinterpret_cast<const char*>(&send_buffer),
                 sizeof(send_buffer)) == SOCKET_ERROR) {
    throw simple_socket_error("Could not shrink the send buffer.");
  }
}

void simple_socket::send_all(const char* data, size_t length) {
  size_t sent = 0;
  while (sent < length) {
    const int chunk = static_cast<int>(length - sent);
    const auto result = ::send(connected_, data + sent, chunk, 0);
    if (result == SOCKET_ERROR) {
      const int code = WSAGetLastError();
      if (code == WSAEINTR) continue;
      throw simple_socket_error("send: error trying to send data: WSAError code " +
                                code_text(code));
    }
    if (result == 0) throw simple_socket_error("send: failed to send the entire message.");
    sent += static_cast<size_t>(result);
  }
}

void simple_socket::send(const std::string& payload) {
  if (!is_connected()) throw simple_socket_error("simple_socket: send called while not connected.");
  const size_t total = payload.size() + header_size;
  if (total > static_cast<size_t>(max_send_total)) {
    throw simple_socket_error("simple_socket::send: Tried to send too much data at once.");
  }
  // Header and payload leave in one buffer so that a packet is never split by our own doing.
  std::string packet(total, '\0');
  const uint32_t length = htonl(static_cast<uint32_t>(payload.size()));
  std::memcpy(&packet[0], &length, header_size);
  std::memcpy(&packet[header_size], payload.data(), payload.size());
  send_all(packet.data(), packet.size());
}

void simple_socket::wait_for_data(unsigned end_tick) {
  for (;;) {
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(connected_, &readable);
    timeval tv = timeout_of(remaining_ms(end_tick));
    const int ready = select(static_cast<int>(connected_) + 1, &readable, nullptr, nullptr, &tv);
    if (ready == SOCKET_ERROR) {
      const int code = WSAGetLastError();
      if (code == WSAEINTR) continue;
      throw simple_socket_error("select: Operation on socket failed: WSAError code " +
                                code_text(code));
    }
    if (ready == 0) throw simple_socket_timeout_error("simple_socket: Timed out waiting for data.");
    return;
  }
}

void simple_socket::receive_exact(size_t length, bool wait_each, unsigned end_tick) {
  while (partial_packet_.size() < length) {
    if (wait_each) wait_for_data(end_tick);
    const size_t have = partial_packet_.size();
    partial_packet_.resize(length);
    const auto result =
        recv(connected_, &partial_packet_[have], static_cast<int>(length - have), 0);
    if (result == SOCKET_ERROR) {
      const int code = WSAGetLastError();
      partial_packet_.resize(have);
      if (code == WSAEINTR) continue;
      close(true);
      throw simple_socket_error("recv: socket error trying to receive data: WSAError code " +
                                code_text(code));
    }
    if (result == 0) {
      close(true);
      throw simple_socket_disconnect_error(
          "simple_socket::receive: socket was disconnected while reading data.");
    }
    partial_packet_.resize(have + static_cast<size_t>(result));
  }
}

std::string simple_socket::receive(int timeout_ms) {
  if (!is_connected()) throw simple_socket_error("simple_socket: receive while not connected.");
  const bool timed = timeout_ms >= 0;
  const unsigned end_tick =
      static_cast<unsigned>(GetTickCount()) + static_cast<unsigned>(timeout_ms);
  if (timed && partial_packet_.empty()) {
    try {
      wait_for_data(end_tick);
    } catch (const simple_socket_timeout_error&) {
      throw simple_socket_timeout_error(
          "simple_socket: Timed out waiting for header packet to arrive.");
    }
  }
  try {
    receive_exact(header_size, timed, end_tick);
  } catch (const simple_socket_disconnect_error&) {
    throw simple_socket_disconnect_error(
        "simple_socket::receive: socket was disconnected while reading header.");
  }
  uint32_t network_length;
  std::memcpy(&network_length, partial_packet_.data(), header_size);
  const uint32_t length = ntohl(network_length);
  if (length > max_receive_payload) {
    // The header is consumed; the announced payload stays unread in the stream.
    partial_packet_.clear();
    throw simple_socket_error("simple_socket::receive: Invalid packet size (given " +
                              code_text(static_cast<int32_t>(length)) + ")");
  }
  receive_exact(header_size + length, timed, end_tick);
  std::string payload = partial_packet_.substr(header_size);
  partial_packet_.clear();
  return payload;
}

void simple_socket::send_raw(const std::string& data) {
  if (!is_connected()) {
    throw simple_socket_error("simple_socket: send_raw called while not connected.");
  }
  if (data.size() > static_cast<size_t>(raw_buffer_size)) {
    throw simple_socket_error("simple_socket::send: Tried to send too much data at once.");
  }
  send_all(data.data(), data.size());
}

std::string simple_socket::receive_raw(int timeout_ms) {
  if (!is_connected()) throw simple_socket_error("simple_socket: receive_raw while not connected.");
  if (timeout_ms >= 0) {
    try {
      wait_for_data(static_cast<unsigned>(GetTickCount()) + static_cast<unsigned>(timeout_ms));
    } catch (const simple_socket_timeout_error&) {
      throw simple_socket_timeout_error(
          "simple_socket::receive_raw: Timed out waiting for raw packet to arrive.");
    }
  }
  char buffer[raw_buffer_size];
  for (;;) {
    const auto result = recv(connected_, buffer, raw_buffer_size, 0);
    if (result == SOCKET_ERROR) {
      const int code = WSAGetLastError();
      if (code == WSAEINTR) continue;
      throw simple_socket_error("recv: error trying to receive data: WSAError code " +
                                code_text(code));
    }
    return std::string(buffer, static_cast<size_t>(result));
  }
}

}  // namespace tangram::win32

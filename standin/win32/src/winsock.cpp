// Winsock start-up, clean-up, error codes and closesocket over BSD sockets.
#include <winsock2.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>

namespace {
std::atomic<int> startups{0};

int winsockCode(int error) {
  switch (error) {
    case EINTR:
      return WSAEINTR;
    case EBADF:
      return WSAEBADF;
    case EACCES:
      return WSAEACCES;
    case EFAULT:
      return WSAEFAULT;
    case EINVAL:
      return WSAEINVAL;
    case EMFILE:
      return WSAEMFILE;
    case EWOULDBLOCK:
      return WSAEWOULDBLOCK;
    case EINPROGRESS:
      return WSAEINPROGRESS;
    case ENOTSOCK:
      return WSAENOTSOCK;
    case EMSGSIZE:
      return WSAEMSGSIZE;
    case EAFNOSUPPORT:
      return WSAEAFNOSUPPORT;
    case EADDRINUSE:
      return WSAEADDRINUSE;
    case EADDRNOTAVAIL:
      return WSAEADDRNOTAVAIL;
    case ENETDOWN:
      return WSAENETDOWN;
    case ENETUNREACH:
      return WSAENETUNREACH;
    case ECONNABORTED:
      return WSAECONNABORTED;
    case ECONNRESET:
      return WSAECONNRESET;
    // A write to a connection the peer has reset is a reset on Windows.
    case EPIPE:
      return WSAECONNRESET;
    case ENOBUFS:
      return WSAENOBUFS;
    case EISCONN:
      return WSAEISCONN;
    case ENOTCONN:
      return WSAENOTCONN;
    case ESHUTDOWN:
      return WSAESHUTDOWN;
    case ETIMEDOUT:
      return WSAETIMEDOUT;
    case ECONNREFUSED:
      return WSAECONNREFUSED;
    case EHOSTUNREACH:
      return WSAEHOSTUNREACH;
    default:
      return error == 0 ? 0 : 10000 + error;
  }
}
}  // namespace

int WSAStartup(WORD versionRequested, LPWSADATA data) {
  if (data == nullptr) return WSAEFAULT;
  const BYTE major = LOBYTE(versionRequested);
  const BYTE minor = HIBYTE(versionRequested);
  if (major < 1 || (major == 1 && minor < 1)) return WSAVERNOTSUPPORTED;
  std::memset(data, 0, sizeof(*data));
  data->wVersion = major > 2 || (major == 2 && minor >= 2) ? MAKEWORD(2, 2) : versionRequested;
  data->wHighVersion = MAKEWORD(2, 2);
  std::strcpy(data->szDescription, "WinSock 2.0");
  std::strcpy(data->szSystemStatus, "Running");
  // Windows sockets report a write to a closed peer as an error, never as a signal; keep
  // that behaviour unless the host has chosen its own SIGPIPE handling.
  struct sigaction current {};
  if (sigaction(SIGPIPE, nullptr, &current) == 0 && current.sa_handler == SIG_DFL) {
    std::signal(SIGPIPE, SIG_IGN);
  }
  ++startups;
  return 0;
}

int WSACleanup() {
  int count = startups.load();
  while (count > 0) {
    if (startups.compare_exchange_weak(count, count - 1)) return 0;
  }
  return SOCKET_ERROR;
}

int WSAGetLastError() {
  return winsockCode(errno);
}

int closesocket(SOCKET s) {
  return ::close(s);
}

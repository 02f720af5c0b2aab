// The controller's side of one conversation with the plug-in: listen, accept, greet, command.
#pragma once

#include "controller/link/protocol.h"
#include "controller/link/requests.h"
#include "tangram/win32/simple_socket.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace controller {

/// One packet the controller received while a command ran, as it came.
using Transcript = std::vector<std::string>;

/// What a command's loop does besides answering requests and waiting for the final reply: the
/// worker's extras (stop requests, a watchdog, a look at maxsim, an observer). Every hook is
/// optional; without them the loop is the simple one: each wait bounded by the command's timeout,
/// a timeout thrown as the socket's error.
struct CommandHooks {
  /// Asked before every wait for a packet: true ends the command unfinished (a stop request).
  std::function<bool()> stop;
  /// The longest next wait for a packet in ms (the command's timeout without it).
  std::function<int()> nextWaitMs;
  /// Told that a wait passed without a packet: true waits again, false ends the command
  /// unfinished. Without it the timeout error is thrown.
  std::function<bool()> onSilence;
  /// Told of every packet as it arrives, before it is answered.
  std::function<void(const std::string& packet)> onPacket;
  /// Told of a request once its answer is sent (none for titles and output lines).
  std::function<void(const Request& request, const std::optional<std::string>& answer)> onRequest;
  /// Told of every reply to the command.
  std::function<void(const std::string& reply)> onReply;
};

/// Listens on 127.0.0.1 on a free port and plays the controller for one plug-in connection.
/// Throws the packet socket's errors.
class ControllerLink {
 public:
  /// Starts listening on a port the system picks.
  ControllerLink();

  /// The port to hand to RunMoonstoneDaemon.
  int port() const { return port_; }

  /// Accepts the plug-in's connection within timeout_ms. With keepListening the port stays open,
  /// so that after dropConnection() another program can connect.
  void accept(int timeout_ms, bool keepListening = false);
  /// Closes the connection and keeps listening (after accept with keepListening).
  void dropConnection();
  /// Sends the greeting and returns the version line that answers it.
  std::string greet(int timeout_ms, const std::string& greeting = protocol::greeting);
  /// Reads the token, sends the greeting, and returns {token, version line}.
  std::pair<std::string, std::string> handshake(int timeout_ms,
                                                const std::string& greeting = protocol::greeting);

  void send(const std::string& packet);
  /// Sends the bytes as they are, without a packet header (at most 1536 bytes).
  void sendRaw(const std::string& bytes);
  std::string receive(int timeout_ms);

  /// Sends a command line and reads packets until the command's last reply (the worker's rule,
  /// CommandReplies), answering every request from `answers` on the way. Returns every
  /// packet received, requests included, in order. Each wait for a packet is bounded by
  /// timeout_ms.
  /// Option commands, which the plug-in never answers, are only sent.
  Transcript command(const std::string& line, int timeout_ms);
  /// The same loop with the hooks' extras. Returns true when the command's last reply came (or
  /// nothing was to come), false when a hook ended it. Throws the packet socket's errors.
  bool command(const std::string& line, int timeout_ms, const CommandHooks& hooks);

  /// Answers requests; change it before a command to answer differently.
  RequestAnswers answers;

  /// Closes the connection (the plug-in's session then ends normally) and stops listening.
  void hangUp();
  bool connected() const { return socket_.is_connected(); }

 private:
  tangram::win32::simple_socket socket_;
  int port_;
};

}  // namespace controller

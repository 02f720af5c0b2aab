// The controller's side of one conversation with the plug-in: listen, accept, greet, command.
#pragma once

#include "tangram/win32/simple_socket.h"

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace controller {

/// What a controller answers to the plug-in's requests ("FUNCTION: ..." packets).
struct RequestAnswers {
  /// Answer to every PROGRESS request ("CONTINUE" lets the work go on).
  std::string progressAnswer = "CONTINUE";
  std::map<std::string, std::string> jobInfo;
  std::map<std::string, std::string> submitInfo;
  /// Submission list entries: key -> elements (index 0 first).
  std::map<std::string, std::vector<std::string>> submitElements;
  std::vector<std::string> auxFiles;

  /// The packet to answer the request with, or nothing for requests that take no answer
  /// (SETTITLE, STDOUT). Unknown look-ups get a text without the "SUCCESS: " prefix.
  std::optional<std::string> answer(const std::string& request) const;
};

/// One packet the controller received while a command ran, as it came.
using Transcript = std::vector<std::string>;

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
  std::string greet(int timeout_ms, const std::string& greeting = "FoxgloveStartup");
  /// Reads the token, sends the greeting, and returns {token, version line}.
  std::pair<std::string, std::string> handshake(int timeout_ms,
                                                const std::string& greeting = "FoxgloveStartup");

  void send(const std::string& packet);
  /// Sends the bytes as they are, without a packet header (at most 1536 bytes).
  void sendRaw(const std::string& bytes);
  std::string receive(int timeout_ms);

  /// Sends a command line and reads packets until `isFinal` says the packet ends the command,
  /// answering every request from `answers` on the way. Returns every packet received, requests
  /// included, in order. Each wait for a packet is bounded by timeout_ms.
  Transcript command(const std::string& line,
                     const std::function<bool(const std::string&)>& isFinal, int timeout_ms);

  /// Answers requests; change it before a command to answer differently.
  RequestAnswers answers;

  /// Closes the connection (the plug-in's session then ends normally) and stops listening.
  void hangUp();
  bool connected() const { return socket_.is_connected(); }

 private:
  tangram::win32::simple_socket socket_;
  int port_;
};

/// True for a packet that is a request of the plug-in rather than a reply.
bool isRequest(const std::string& packet);

}  // namespace controller

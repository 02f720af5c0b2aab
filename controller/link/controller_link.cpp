// The controller's side: accepting the plug-in, the greeting, commands and answered requests.
#include "controller/link/controller_link.h"

#include "controller/link/command_replies.h"

namespace controller {

ControllerLink::ControllerLink() {
  socket_.start_listen(0, true);
  port_ = socket_.listening_port();
}

void ControllerLink::accept(int timeout_ms, bool keepListening) {
  socket_.wait_for_connect(timeout_ms, !keepListening);
}

void ControllerLink::dropConnection() {
  socket_.close(false);
}

std::string ControllerLink::greet(int timeout_ms, const std::string& greeting) {
  socket_.send(greeting);
  return socket_.receive(timeout_ms);
}

std::pair<std::string, std::string> ControllerLink::handshake(int timeout_ms,
                                                              const std::string& greeting) {
  std::string token = socket_.receive(timeout_ms);
  return {token, greet(timeout_ms, greeting)};
}

void ControllerLink::send(const std::string& packet) {
  socket_.send(packet);
}

void ControllerLink::sendRaw(const std::string& bytes) {
  socket_.send_raw(bytes);
}

std::string ControllerLink::receive(int timeout_ms) {
  return socket_.receive(timeout_ms);
}

Transcript ControllerLink::command(const std::string& line, int timeout_ms) {
  Transcript transcript;
  CommandHooks hooks;
  hooks.onPacket = [&transcript](const std::string& packet) { transcript.push_back(packet); };
  command(line, timeout_ms, hooks);
  return transcript;
}

bool ControllerLink::command(const std::string& line, int timeout_ms, const CommandHooks& hooks) {
  CommandReplies replies(line);
  socket_.send(line);
  if (!replies.expectsReply()) return true;
  for (;;) {
    if (hooks.stop && hooks.stop()) return false;
    std::string packet;
    try {
      packet = socket_.receive(hooks.nextWaitMs ? hooks.nextWaitMs() : timeout_ms);
    } catch (const tangram::win32::simple_socket_timeout_error&) {
      if (!hooks.onSilence) throw;
      if (!hooks.onSilence()) return false;
      continue;
    }
    if (hooks.onPacket) hooks.onPacket(packet);
    if (isRequest(packet)) {
      // The plug-in waits only 100 ms for a progress answer: it goes out before anything else.
      const Request request = classifyRequest(packet);
      const std::optional<std::string> answer = answers.answer(request);
      if (answer) socket_.send(*answer);
      if (hooks.onRequest) hooks.onRequest(request, answer);
      continue;
    }
    if (hooks.onReply) hooks.onReply(packet);
    if (replies.isFinal(packet)) return true;
  }
}

void ControllerLink::hangUp() {
  socket_.close(true);
}

}  // namespace controller

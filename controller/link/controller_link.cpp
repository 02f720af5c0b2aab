// The controller's side: accepting the plug-in, the greeting, commands and answered requests.
#include "controller/link/controller_link.h"

#include "controller/link/command_replies.h"

#include <boost/lexical_cast.hpp>

namespace controller {

namespace {
const std::string requestPrefix = "FUNCTION: ";
const std::string successPrefix = "SUCCESS: ";

bool startsWith(const std::string& text, const std::string& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

std::optional<std::string> lookUp(const std::map<std::string, std::string>& table,
                                  const std::string& key) {
  const auto found = table.find(key);
  if (found == table.end()) return "ERROR: no entry " + key;
  return successPrefix + found->second;
}
}  // namespace

bool isRequest(const std::string& packet) {
  return startsWith(packet, requestPrefix);
}

std::optional<std::string> RequestAnswers::answer(const std::string& request) const {
  const std::string body = request.substr(requestPrefix.size());
  auto argumentOf = [&body](const std::string& word) -> std::optional<std::string> {
    if (!startsWith(body, word + " ")) return std::nullopt;
    return body.substr(word.size() + 1);
  };
  if (startsWith(body, "SETTITLE ") || startsWith(body, "STDOUT: ")) return std::nullopt;
  if (argumentOf("PROGRESS")) return progressAnswer;
  if (auto key = argumentOf("GETJOBINFOENTRY")) return lookUp(jobInfo, *key);
  if (auto key = argumentOf("GETSUBMITINFOENTRYELEMENTCOUNT")) {
    const auto found = submitElements.find(*key);
    if (found == submitElements.end()) return "ERROR: no entry " + *key;
    return successPrefix + std::to_string(found->second.size());
  }
  if (auto argument = argumentOf("GETSUBMITINFOENTRYELEMENT")) {
    const auto comma = argument->find(',');
    if (comma == std::string::npos) return "ERROR: malformed request";
    const std::string key = argument->substr(comma + 1);
    const auto found = submitElements.find(key);
    try {
      const int index = boost::lexical_cast<int>(argument->substr(0, comma));
      if (found != submitElements.end() && index >= 0 &&
          static_cast<size_t>(index) < found->second.size()) {
        return successPrefix + found->second[static_cast<size_t>(index)];
      }
    } catch (const boost::bad_lexical_cast&) {
    }
    return "ERROR: no entry " + key;
  }
  if (auto key = argumentOf("GETSUBMITINFOENTRY")) return lookUp(submitInfo, *key);
  if (auto index = argumentOf("GETAUXFILE")) {
    try {
      const int i = boost::lexical_cast<int>(*index);
      if (i >= 0 && static_cast<size_t>(i) < auxFiles.size()) {
        return successPrefix + auxFiles[static_cast<size_t>(i)];
      }
    } catch (const boost::bad_lexical_cast&) {
    }
    return "ERROR: no aux file " + *index;
  }
  return "ERROR: unknown request";
}

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
      const std::optional<std::string> answer = answers.answer(packet);
      if (answer) socket_.send(*answer);
      if (hooks.onRequest) hooks.onRequest(packet, answer);
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

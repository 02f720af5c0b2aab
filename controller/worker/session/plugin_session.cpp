// Driving the plug-in: start-up, handshake, commands with answered requests, and the end.
#include "controller/worker/session/plugin_session.h"

#include "controller/link/command_replies.h"
#include "controller/worker/session/startup_script.h"
#include "controller/worker/session/stop_signals.h"
#include "controller/common/text.h"
#include "controller/link/protocol.h"

#include <algorithm>
#include <deque>
#include <filesystem>
#include <fstream>

namespace worker {

using namespace std::chrono_literals;
using tangram::win32::simple_socket_error;
using tangram::win32::simple_socket_timeout_error;

namespace {
/// How often a wait for a packet looks at maxsim and the watchdog.
constexpr auto pollSlice = 200ms;
/// How long the handshake's packets may take once maxsim has connected.
constexpr int handshakeTimeoutMs = 10000;

/// The last lines of maxsim's output, which say why it did not connect.
std::string outputTail(const std::string& path) {
  std::ifstream in(path);
  std::deque<std::string> lines;
  for (std::string line; std::getline(in, line);) {
    lines.push_back(line);
    if (lines.size() > 5) lines.pop_front();
  }
  std::string tail;
  for (const std::string& line : lines) tail += "\n  " + line;
  return tail;
}
}  // namespace

bool CommandOutcome::succeeded() const {
  return end == End::Completed &&
         std::none_of(replies.begin(), replies.end(), controller::isErrorReply);
}

std::string CommandOutcome::failure() const {
  std::string text;
  for (const std::string& reply : replies) {
    if (!controller::isErrorReply(reply)) continue;
    if (!text.empty()) text += "\n";
    text += reply;
  }
  const std::string broken = breakReason();
  if (!broken.empty()) text += (text.empty() ? "" : "\n") + broken;
  return text;
}

std::string CommandOutcome::breakReason() const {
  switch (end) {
    case End::Completed:
      return "";
    case End::Disconnected:
      return "the plug-in closed the connection" +
             (maxsimEnd.empty() ? std::string() : "; maxsim " + maxsimEnd);
    case End::Stalled:
      return "stalled: the plug-in sent nothing within the stall timeout; maxsim was ended";
    case End::MaxsimExited:
      return "maxsim " + (maxsimEnd.empty() ? std::string("exited") : maxsimEnd);
    case End::Stopped:
      return "stopped by " + stopSignalName() + "; maxsim was ended";
  }
  return "";
}

PluginSession::PluginSession(const WorkerEnvironment& environment, const LaunchOptions& options,
                             const Clock& clock)
    : environment_(environment), options_(options), clock_(clock) {
  link_.answers = options.answers;
}

PluginSession::~PluginSession() = default;

controller::Expected<void> PluginSession::start(
    const std::function<void(const std::string&)>& warn) {
  const std::string token = makeToken();
  std::vector<std::string> arguments;
  if (!options_.pluginDir.empty()) arguments = {"-p", options_.pluginDir};
  try {
    const std::vector<std::string> startup = startupSwitches(
        startupScript(link_.port(), token),
        std::filesystem::path(environment_.maxsimOutput).replace_extension(".ms").string());
    arguments.insert(arguments.end(), startup.begin(), startup.end());
    maxsim_ =
        std::make_unique<MaxsimProcess>(environment_.maxsim, arguments, environment_.maxsimOutput);
  } catch (const std::runtime_error& error) {
    return controller::fail(controller::FailureKind::Node, error.what());
  }
  if (controller::Expected<void> accepted = acceptPlugin(token, warn); !accepted) return accepted;
  return greetPlugin();
}

controller::Expected<void> PluginSession::acceptPlugin(
    const std::string& token, const std::function<void(const std::string&)>& warn) {
  Watchdog startup(
      clock_, std::chrono::milliseconds(static_cast<long long>(options_.startupTimeout * 1000)));
  for (;;) {
    if (stopRequested()) {
      finish(2000);
      return controller::fail(controller::FailureKind::Stopped,
                              "stopped by " + stopSignalName() + " during start-up");
    }
    try {
      link_.accept(static_cast<int>(pollSlice.count()), true);
    } catch (const simple_socket_timeout_error&) {
      if (maxsim_->poll()) {
        return controller::fail(controller::FailureKind::Node,
                                "maxsim " + maxsim_->describeEnd() +
                                    " before the plug-in connected; the end of its output (" +
                                    environment_.maxsimOutput +
                                    "):" + outputTail(environment_.maxsimOutput));
      }
      if (startup.expired()) {
        maxsim_->terminate(2000);
        return controller::fail(
            controller::FailureKind::Node,
            "the plug-in did not connect within the start-up timeout (maxsim's output: " +
                environment_.maxsimOutput + ")");
      }
      continue;
    } catch (const simple_socket_error& error) {
      maxsim_->terminate(2000);
      return controller::fail(controller::FailureKind::Node,
                              std::string("cannot accept the plug-in: ") + error.what());
    }
    // Nothing is sent before the token is right: a stranger learns nothing and is cut off.
    std::string received;
    try {
      received = link_.receive(handshakeTimeoutMs);
    } catch (const simple_socket_error&) {
      received.clear();
    }
    if (received == token) return {};
    link_.dropConnection();
    if (warn) {
      warn(received.empty() ? "a program connected and sent no token; it was cut off"
                            : "a program connected with a wrong token; it was cut off");
    }
  }
}

controller::Expected<void> PluginSession::greetPlugin() {
  try {
    const std::string version = link_.greet(handshakeTimeoutMs);
    if (!controller::startsWith(version, controller::protocol::versionPrefix) ||
        version.find(controller::protocol::incompatibleVersions) != std::string::npos) {
      return controller::fail(controller::FailureKind::Node,
                              "unexpected version line from the plug-in: " + version);
    }
    version_ = version;
  } catch (const simple_socket_error& error) {
    return controller::fail(controller::FailureKind::Node,
                            std::string("handshake with the plug-in failed: ") + error.what());
  }
  return {};
}

CommandOutcome PluginSession::broken(CommandOutcome outcome, CommandOutcome::End end) {
  outcome.end = end;
  if (end == CommandOutcome::End::Stalled) {
    maxsim_->terminate(2000);
    link_.hangUp();
  } else if (end == CommandOutcome::End::Stopped) {
    // Hanging up ends the plug-in's session at its next packet; a render deaf to that is ended.
    link_.hangUp();
    if (!maxsim_->waitFor(2000)) maxsim_->terminate(2000);
  }
  // A dropped connection usually means maxsim is on its way out; give it a moment to say how.
  outcome.maxsimStatus =
      end == CommandOutcome::End::Disconnected ? maxsim_->waitFor(1000) : maxsim_->poll();
  outcome.maxsimEnd = maxsim_->describeEnd();
  return outcome;
}

CommandOutcome PluginSession::command(const std::string& line, PacketObserver& observer,
                                      std::chrono::milliseconds stallLimit) {
  CommandOutcome outcome;
  // How the command broke off when a hook ended it.
  CommandOutcome::End interruption = CommandOutcome::End::Completed;
  Watchdog watchdog(clock_, stallLimit);
  controller::CommandHooks hooks;
  hooks.stop = [&interruption] {
    if (!stopRequested()) return false;
    interruption = CommandOutcome::End::Stopped;
    return true;
  };
  // Short waits, so that a stop, a dead maxsim or the watchdog is noticed in time.
  hooks.nextWaitMs = [&watchdog] {
    const auto wait = std::min<std::chrono::milliseconds>(pollSlice, watchdog.remaining());
    return static_cast<int>(std::max<long long>(wait.count(), 1));
  };
  hooks.onSilence = [this, &watchdog, &interruption] {
    if (maxsim_->poll()) {
      interruption = CommandOutcome::End::MaxsimExited;
    } else if (watchdog.expired()) {
      interruption = CommandOutcome::End::Stalled;
    }
    return interruption == CommandOutcome::End::Completed;
  };
  hooks.onPacket = [&watchdog](const std::string&) { watchdog.feed(); };
  hooks.onRequest = [&observer](const controller::Request& request,
                                const std::optional<std::string>& answer) {
    observer.onRequest(request, answer);
  };
  hooks.onReply = [&outcome, &observer](const std::string& reply) {
    outcome.replies.push_back(reply);
    observer.onReply(reply);
  };
  try {
    if (link_.command(line, static_cast<int>(pollSlice.count()), hooks)) return outcome;
  } catch (const simple_socket_error&) {
    return broken(outcome, CommandOutcome::End::Disconnected);
  }
  return broken(outcome, interruption);
}

std::optional<int> PluginSession::finish(int timeoutMs) {
  if (link_.connected()) link_.hangUp();
  if (!maxsim_) return std::nullopt;
  if (const auto status = maxsim_->waitFor(timeoutMs)) return status;
  return maxsim_->terminate(2000);
}

}  // namespace worker

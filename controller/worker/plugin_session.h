// The worker's side of one session: maxsim started, the plug-in greeted, commands driven.
#pragma once

#include "controller/controller_link.h"
#include "controller/worker/maxsim_process.h"
#include "controller/worker/options.h"
#include "controller/worker/watchdog.h"
#include "controller/worker/worker_environment.h"

#include <chrono>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace worker {

/// A session that could not be started or went wrong as a whole; the message says why.
class SessionError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

/// Told about every packet while a command runs, in the order they come.
class PacketObserver {
 public:
  virtual ~PacketObserver() = default;
  /// A request of the plug-in and the answer sent to it (none for titles and output lines).
  virtual void onRequest(const std::string& request, const std::optional<std::string>& answer) = 0;
  /// A reply to the command.
  virtual void onReply(const std::string& reply) = 0;
};

/// How a command ended.
struct CommandOutcome {
  enum class End { Completed, Disconnected, Stalled, MaxsimExited };
  End end = End::Completed;
  /// The replies received, requests left out.
  std::vector<std::string> replies;
  /// maxsim's exit status when it ended during the command.
  std::optional<int> maxsimStatus;

  /// True when the command completed and no reply was an error.
  bool succeeded() const;
  /// Why the command did not succeed, in words (empty when it did): the error replies, then how
  /// the session broke off.
  std::string failure() const;
  /// How the session broke off during the command, in words (empty when the command completed).
  std::string breakReason() const;
};

/// One maxsim running the daemon, connected to this worker.
class PluginSession {
 public:
  /// Listens on a free port; nothing is started yet. The clock is borrowed.
  PluginSession(const WorkerEnvironment& environment, const LaunchOptions& options,
                const Clock& clock);
  ~PluginSession();

  /// Starts maxsim with the start-up script and completes the handshake: checks the token
  /// and the version line. Throws SessionError.
  void start();
  /// The plug-in's version line from the handshake.
  const std::string& versionLine() const { return version_; }

  /// Sends the command line and reads its replies, answering requests, until its last reply;
  /// option commands are only sent. Ends early when the connection drops, when maxsim exits, or
  /// when no packet comes for stallLimit (zero or less: no limit), in which case maxsim is
  /// ended.
  CommandOutcome command(const std::string& line, PacketObserver& observer,
                         std::chrono::milliseconds stallLimit);

  /// True while the connection stands.
  bool connected() const { return link_.connected(); }
  /// Hangs up and waits up to timeoutMs for maxsim to exit, ending it after that. Returns its
  /// exit status (none when it never started).
  std::optional<int> finish(int timeoutMs);

 private:
  CommandOutcome broken(CommandOutcome outcome, CommandOutcome::End end);

  const WorkerEnvironment& environment_;
  const LaunchOptions& options_;
  const Clock& clock_;
  controller::ControllerLink link_;
  std::unique_ptr<MaxsimProcess> maxsim_;
  std::string version_;
};

}  // namespace worker

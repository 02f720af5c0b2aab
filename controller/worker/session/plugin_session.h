// The worker's side of one session: maxsim started, the plug-in greeted, commands driven.
#pragma once

#include "controller/link/controller_link.h"
#include "controller/common/expected.h"
#include "controller/worker/session/maxsim_process.h"
#include "controller/worker/run/options.h"
#include "controller/worker/session/watchdog.h"
#include "controller/worker/session/worker_environment.h"

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace worker {

/// Told about every packet while a command runs, in the order they come.
class PacketObserver {
 public:
  virtual ~PacketObserver() = default;
  /// A request of the plug-in and the answer sent to it (none for titles and output lines).
  virtual void onRequest(const controller::Request& request,
                         const std::optional<std::string>& answer) = 0;
  /// A reply to the command.
  virtual void onReply(const std::string& reply) = 0;
};

/// How a command ended.
struct CommandOutcome {
  enum class End { Completed, Disconnected, Stalled, MaxsimExited, Stopped };
  End end = End::Completed;
  /// The replies received, requests left out.
  std::vector<std::string> replies;
  /// maxsim's exit status when it ended during the command.
  std::optional<int> maxsimStatus;
  /// How maxsim ended, in words ("was killed by SIGFPE (floating-point exception)").
  std::string maxsimEnd;

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
  /// Listens on a free port; nothing is started yet. The environment is copied; the options
  /// and the clock are borrowed.
  PluginSession(const WorkerEnvironment& environment, const LaunchOptions& options,
                const Clock& clock);
  ~PluginSession();

  /// Starts maxsim with the start-up script and completes the handshake. A program that
  /// connects with a wrong token, or sends none within the handshake time, is told nothing: it
  /// is cut off, `warn` hears of it, and the wait for the plug-in goes on until the start-up
  /// timeout. Fails (Node) when maxsim cannot start, exits, does not connect in time or sends a
  /// bad version line; (Stopped) on a stop signal.
  controller::Expected<void> start(const std::function<void(const std::string&)>& warn = {});
  /// maxsim's process id (0 before start).
  long maxsimPid() const { return maxsim_ ? maxsim_->pid() : 0; }
  /// The plug-in's version line from the handshake.
  const std::string& versionLine() const { return version_; }

  /// Sends the command line and reads its replies, answering requests, until its last reply;
  /// option commands are only sent. Ends early when the connection drops, when maxsim exits, or
  /// when no packet comes for stallLimit (zero or less: no limit), in which case maxsim is
  /// ended, and on a stop signal, in which case the worker hangs up and ends maxsim.
  CommandOutcome command(const std::string& line, PacketObserver& observer,
                         std::chrono::milliseconds stallLimit);

  /// True while the connection stands.
  bool connected() const { return link_.connected(); }
  /// Hangs up and waits up to timeoutMs for maxsim to exit, ending it after that. Returns its
  /// exit status (none when it never started).
  std::optional<int> finish(int timeoutMs);

 private:
  /// Waits for the plug-in's connection with the right token, cutting strangers off.
  controller::Expected<void> acceptPlugin(const std::string& token,
                                          const std::function<void(const std::string&)>& warn);
  /// Greets the plug-in and checks its version line.
  controller::Expected<void> greetPlugin();
  CommandOutcome broken(CommandOutcome outcome, CommandOutcome::End end);

  const WorkerEnvironment environment_;
  const LaunchOptions& options_;
  const Clock& clock_;
  controller::ControllerLink link_;
  std::unique_ptr<MaxsimProcess> maxsim_;
  std::string version_;
};

}  // namespace worker

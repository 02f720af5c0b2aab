// The maxsim child process: started with its output in a file, watched, ended when needed.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace worker {

/// One running child program, kept apart from the worker's terminal or console (so that a Ctrl-C
/// there reaches only the worker) and ended by the system when the worker dies, however it dies
/// (a parent-death signal on POSIX, a kill-on-close job object on Windows). Ending the object ends
/// the program if it still runs.
class MaxsimProcess {
 public:
  /// Starts program with the arguments (no shell), standard input from the null device and
  /// standard output and error appended to outputPath. Throws std::runtime_error when it cannot
  /// start.
  MaxsimProcess(const std::string& program, const std::vector<std::string>& arguments,
                const std::string& outputPath);
  ~MaxsimProcess();
  MaxsimProcess(const MaxsimProcess&) = delete;
  MaxsimProcess& operator=(const MaxsimProcess&) = delete;

  /// The exit status once the program has ended (128 + signal number for a signal on POSIX; on
  /// Windows the exit code, which for a crash is the exception code), or nothing while it runs.
  /// Does not wait.
  std::optional<int> poll();
  /// Waits up to timeoutMs for the program to end; its status, or nothing if it still runs.
  std::optional<int> waitFor(int timeoutMs);
  /// Asks the program (and its process group) to end (SIGTERM; on Windows a close message to its
  /// windows), then kills it and whatever it started after graceMs; returns its status.
  int terminate(int graceMs);
  /// How the program ended, in words ("exited with status 3", "was killed by SIGFPE
  /// (floating-point exception)", "crashed with Access Violation (exception C0000005)"); empty
  /// while it runs.
  std::string describeEnd();
  long pid() const { return pid_; }

 private:
  long pid_;
  std::optional<int> status_;
  /// The signal (POSIX) or exception code (Windows) that ended the program, 0 when it exited.
  int signal_ = 0;
  /// The process and its job object, where the system names them by handle (Windows only).
  void* process_ = nullptr;
  void* job_ = nullptr;
};

}  // namespace worker

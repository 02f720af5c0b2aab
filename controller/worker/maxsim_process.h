// The maxsim child process: started with its output in a file, watched, ended when needed.
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

namespace worker {

/// One running child program. Ending the object ends the program if it still runs.
class MaxsimProcess {
 public:
  /// Starts program with the arguments (no shell), standard input from /dev/null and standard
  /// output and error appended to outputPath. Throws std::runtime_error when it cannot start.
  MaxsimProcess(const std::string& program, const std::vector<std::string>& arguments,
                const std::string& outputPath);
  ~MaxsimProcess();
  MaxsimProcess(const MaxsimProcess&) = delete;
  MaxsimProcess& operator=(const MaxsimProcess&) = delete;

  /// The exit status once the program has ended (128 + signal number for a signal), or nothing
  /// while it runs. Does not wait.
  std::optional<int> poll();
  /// Waits up to timeoutMs for the program to end; its status, or nothing if it still runs.
  std::optional<int> waitFor(int timeoutMs);
  /// Asks the program to end (SIGTERM), then kills it after graceMs; returns its status.
  int terminate(int graceMs);
  pid_t pid() const { return pid_; }

 private:
  pid_t pid_;
  std::optional<int> status_;
};

}  // namespace worker

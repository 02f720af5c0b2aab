// Test helper: runs a program in the background, to be watched and killed, and tells whether a
// process still runs.
#pragma once

#include <memory>
#include <string>
#include <vector>

/// A program running in the background, its output and error going together into a file.
/// Ending the object kills the program if it still runs.
class BackgroundProcess {
 public:
  BackgroundProcess(const std::string& program, const std::vector<std::string>& args,
                    const std::string& outputPath);
  ~BackgroundProcess();
  BackgroundProcess(const BackgroundProcess&) = delete;
  BackgroundProcess& operator=(const BackgroundProcess&) = delete;

  /// The program's process id (signals on POSIX go to it).
  long pid() const;
  /// Ends the program at once, as a kill by the system would (POSIX: SIGKILL).
  void kill() const;
  /// Everything the program printed so far.
  std::string output() const;
  /// Waits up to timeoutSeconds until the output holds the text; true when it does.
  bool waitForOutput(const std::string& text, int timeoutSeconds) const;
  /// Waits for the program's end: its exit status (on POSIX -1 when a signal ended it).
  int wait();

 private:
  struct Process;
  std::unique_ptr<Process> process_;
  std::string outputPath_;
  bool ended_ = false;
};

/// True while a process with the id runs (a zombie counts as ended).
bool processRuns(long pid);

/// Waits up to timeoutSeconds for the process to end; true when it has.
bool waitUntilEnded(long pid, int timeoutSeconds);

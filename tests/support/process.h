// Test helper: runs a program to its end with given input and collects its standard output,
// error and status; or runs one in the background, to be signalled and watched.
#pragma once

#include <string>
#include <vector>

struct ProcessResult {
  int status = -1;  // the exit status; -1 when the program did not exit normally
  std::string out;
  std::string err;
};

/// Where the program's standard error goes: into `err`, or into `out` interleaved with its
/// output as a console would show them.
enum class ErrorStream { separate, intoOutput };

/// Runs the program with the arguments (no shell), `input` as its standard input, and waits for
/// it.
ProcessResult runProcess(const std::string& program, const std::vector<std::string>& args,
                         const std::string& input = "",
                         ErrorStream errorStream = ErrorStream::separate);

/// A program running in the background, its output and error going together into a file.
/// Ending the object kills the program if it still runs.
class BackgroundProcess {
 public:
  BackgroundProcess(const std::string& program, const std::vector<std::string>& args,
                    const std::string& outputPath);
  ~BackgroundProcess();
  BackgroundProcess(const BackgroundProcess&) = delete;
  BackgroundProcess& operator=(const BackgroundProcess&) = delete;

  long pid() const { return pid_; }
  /// Sends the signal to the program.
  void signal(int number) const;
  /// Everything the program printed so far.
  std::string output() const;
  /// Waits up to timeoutSeconds until the output holds the text; true when it does.
  bool waitForOutput(const std::string& text, int timeoutSeconds) const;
  /// Waits for the program's end: its exit status, or -1 when a signal ended it.
  int wait();

 private:
  long pid_;
  std::string outputPath_;
  bool ended_ = false;
};

/// True while a process with the id runs (a zombie counts as ended).
bool processRuns(long pid);

/// Waits up to timeoutSeconds for the process to end; true when it has.
bool waitUntilEnded(long pid, int timeoutSeconds);

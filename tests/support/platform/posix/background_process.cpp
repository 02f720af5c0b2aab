// Test helper on POSIX: a program in the background, killed and reaped, and whether a process
// still runs (read from /proc).
#include "support/background_process.h"

#include "support/platform/posix/spawn_child.h"

#include <signal.h>
#include <sys/wait.h>

#include <fstream>

struct BackgroundProcess::Process {
  pid_t pid;
};

BackgroundProcess::BackgroundProcess(const std::string& program,
                                     const std::vector<std::string>& args,
                                     const std::string& outputPath)
    : process_(new Process{spawnChild(program, args, "/dev/null", outputPath, "")}),
      outputPath_(outputPath) {}

BackgroundProcess::~BackgroundProcess() {
  if (ended_ || process_->pid <= 0) return;
  kill();
  wait();
}

long BackgroundProcess::pid() const {
  return process_->pid;
}

void BackgroundProcess::kill() const {
  ::kill(process_->pid, SIGKILL);
}

int BackgroundProcess::wait() {
  int status = 0;
  ended_ = true;
  if (waitpid(process_->pid, &status, 0) != process_->pid || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

bool processRuns(long pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string text;
  if (!std::getline(stat, text)) return false;
  // The state follows the command name in parentheses; Z is a zombie, X a dead process.
  const size_t close = text.rfind(')');
  if (close == std::string::npos || close + 2 >= text.size()) return false;
  const char state = text[close + 2];
  return state != 'Z' && state != 'X';
}

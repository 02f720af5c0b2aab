// Test helper on POSIX: a program in the background, signalled and watched, and whether a
// process still runs (read from /proc).
#include "support/background_process.h"

#include "support/platform/posix/spawn_child.h"

#include <signal.h>
#include <sys/wait.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

namespace {
std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}
}  // namespace

BackgroundProcess::BackgroundProcess(const std::string& program,
                                     const std::vector<std::string>& args,
                                     const std::string& outputPath)
    : pid_(spawnChild(program, args, "/dev/null", outputPath, "")), outputPath_(outputPath) {}

BackgroundProcess::~BackgroundProcess() {
  if (ended_ || pid_ <= 0) return;
  kill(static_cast<pid_t>(pid_), SIGKILL);
  wait();
}

void BackgroundProcess::signal(int number) const {
  kill(static_cast<pid_t>(pid_), number);
}

std::string BackgroundProcess::output() const {
  return readFile(outputPath_);
}

bool BackgroundProcess::waitForOutput(const std::string& text, int timeoutSeconds) const {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
  while (output().find(text) == std::string::npos) {
    if (std::chrono::steady_clock::now() >= end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

int BackgroundProcess::wait() {
  int status = 0;
  ended_ = true;
  if (waitpid(static_cast<pid_t>(pid_), &status, 0) != pid_ || !WIFEXITED(status)) return -1;
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

bool waitUntilEnded(long pid, int timeoutSeconds) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
  while (processRuns(pid)) {
    if (std::chrono::steady_clock::now() >= end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

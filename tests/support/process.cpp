// Test helper: runs programs with their output in files, to their end or in the background.
#include "support/process.h"

#include "support/temp_folder.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

namespace {
std::string readFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

/// Starts the program with standard input from inPath and its output into outPath, its error
/// into errPath or, when that is empty, into outPath as well. Returns the child's id.
pid_t spawn(const std::string& program, const std::vector<std::string>& args,
            const std::string& inPath, const std::string& outPath, const std::string& errPath) {
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  const pid_t child = fork();
  if (child == 0) {
    const int in = open(inPath.c_str(), O_RDONLY);
    const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int err =
        errPath.empty() ? dup(out) : open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (in < 0 || out < 0 || err < 0) _exit(126);
    dup2(in, 0);
    dup2(out, 1);
    dup2(err, 2);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  return child;
}
}  // namespace

ProcessResult runProcess(const std::string& program, const std::vector<std::string>& args,
                         const std::string& input, ErrorStream errorStream) {
  TempFolder folder;
  const std::string inPath = (folder.path() / "in").string();
  std::ofstream(inPath, std::ios::binary) << input;
  const std::string outPath = (folder.path() / "out").string();
  const std::string errPath =
      errorStream == ErrorStream::separate ? (folder.path() / "err").string() : "";
  const pid_t child = spawn(program, args, inPath, outPath, errPath);
  ProcessResult result;
  int status = 0;
  if (child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status)) {
    result.status = WEXITSTATUS(status);
  }
  result.out = readFile(outPath);
  if (errorStream == ErrorStream::separate) result.err = readFile(errPath);
  return result;
}

BackgroundProcess::BackgroundProcess(const std::string& program,
                                     const std::vector<std::string>& args,
                                     const std::string& outputPath)
    : pid_(spawn(program, args, "/dev/null", outputPath, "")), outputPath_(outputPath) {}

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

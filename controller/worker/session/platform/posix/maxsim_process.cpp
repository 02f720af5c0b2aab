// Starting, watching and ending the maxsim child with POSIX process calls.
#include "controller/worker/session/maxsim_process.h"

#include "controller/worker/session/platform/posix/signal_names.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <stdexcept>
#include <thread>

namespace worker {

namespace {

// The child's side of the start: its own group, dies with the worker, default signals, the
// given input and output, then exec; a failed exec's errno goes back through the ready pipe.
// Only async-signal-safe calls here.
[[noreturn]] void startChild(const std::string& program, std::vector<char*>& argv, pid_t parent,
                             const sigset_t& none, int input, int output, int readyFd) {
  // A group of its own: a terminal's Ctrl-C goes to the worker, which ends maxsim in order.
  setpgid(0, 0);
  // maxsim must not outlive a worker that is killed outright.
  prctl(PR_SET_PDEATHSIG, SIGKILL);
  if (getppid() != parent) _exit(127);
  // The worker blocks its stop signals; maxsim gets the defaults back.
  for (const int stop : {SIGTERM, SIGINT, SIGHUP}) signal(stop, SIG_DFL);
  sigprocmask(SIG_SETMASK, &none, nullptr);
  dup2(input, 0);
  dup2(output, 1);
  dup2(output, 2);
  execv(program.c_str(), argv.data());
  // Tell the parent that exec failed, with errno, through the close-on-exec pipe.
  const int error = errno;
  (void)!write(readyFd, &error, sizeof error);
  _exit(127);
}

}  // namespace

MaxsimProcess::MaxsimProcess(const std::string& program, const std::vector<std::string>& arguments,
                             const std::string& outputPath) {
  // Everything the child needs is prepared before fork: after it only async-signal-safe calls.
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  const int input = open("/dev/null", O_RDONLY | O_CLOEXEC);
  const int output = open(outputPath.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (input < 0 || output < 0) {
    const std::string reason = std::strerror(errno);
    if (input >= 0) close(input);
    if (output >= 0) close(output);
    throw std::runtime_error("cannot open " + outputPath + " for maxsim's output: " + reason);
  }
  int ready[2];
  if (pipe2(ready, O_CLOEXEC) != 0) {
    close(input);
    close(output);
    throw std::runtime_error("cannot start maxsim: pipe failed");
  }
  const pid_t parent = getpid();
  sigset_t none;
  sigemptyset(&none);
  const pid_t child = fork();
  if (child == 0) startChild(program, argv, parent, none, input, output, ready[1]);
  pid_ = child;
  close(input);
  close(output);
  close(ready[1]);
  if (child < 0) {
    close(ready[0]);
    throw std::runtime_error("cannot start maxsim: fork failed");
  }
  // Set the group from this side too, so that it exists before any kill of the group.
  setpgid(child, child);
  int execError = 0;
  ssize_t got;
  do {
    got = read(ready[0], &execError, sizeof execError);
  } while (got < 0 && errno == EINTR);
  close(ready[0]);
  if (got == static_cast<ssize_t>(sizeof execError)) {
    (void)waitFor(-1);
    throw std::runtime_error("cannot start " + program + ": " + std::strerror(execError));
  }
}

MaxsimProcess::~MaxsimProcess() {
  if (!poll()) terminate(2000);
}

std::optional<int> MaxsimProcess::poll() {
  if (status_) return status_;
  int raw = 0;
  const pid_t done = waitpid(static_cast<pid_t>(pid_), &raw, WNOHANG);
  if (done == pid_) {
    signal_ = WIFSIGNALED(raw) ? WTERMSIG(raw) : 0;
    status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
  } else if (done < 0 && errno == ECHILD) {
    status_ = -1;
  }
  return status_;
}

std::optional<int> MaxsimProcess::waitFor(int timeoutMs) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    if (poll()) return status_;
    if (timeoutMs >= 0 && std::chrono::steady_clock::now() >= end) return std::nullopt;
    // A child has no descriptor to wait on here; short naps keep the check cheap.
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

int MaxsimProcess::terminate(int graceMs) {
  if (poll()) return *status_;
  // The whole group: whatever maxsim started goes with it.
  kill(-static_cast<pid_t>(pid_), SIGTERM);
  if (waitFor(graceMs)) return *status_;
  kill(-static_cast<pid_t>(pid_), SIGKILL);
  return *waitFor(-1);
}

std::string MaxsimProcess::describeEnd() {
  if (!poll()) return "";
  if (signal_ != 0) return "was killed by " + describeSignal(signal_);
  return "exited with status " + std::to_string(*status_);
}

}  // namespace worker

// Runs a program to its end and collects its output, without a shell.
#include "controller/farm/process_output.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace farm {
namespace {

// Reads both pipes until both are closed, so that neither child stream can fill and block it.
void drain(int outFd, int errFd, ProcessOutput& result) {
  pollfd fds[2] = {{outFd, POLLIN, 0}, {errFd, POLLIN, 0}};
  std::string* sinks[2] = {&result.out, &result.err};
  int open = 2;
  char buffer[4096];
  while (open > 0) {
    if (poll(fds, 2, -1) < 0) {
      if (errno == EINTR) continue;
      break;
    }
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || fds[i].revents == 0) continue;
      const ssize_t got = read(fds[i].fd, buffer, sizeof buffer);
      if (got > 0) {
        sinks[i]->append(buffer, static_cast<size_t>(got));
      } else if (got == 0 || errno != EINTR) {
        close(fds[i].fd);
        fds[i].fd = -1;
        --open;
      }
    }
  }
}

}  // namespace

ProcessOutput runProgram(const std::vector<std::string>& argv) {
  ProcessOutput result;
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  int out[2], err[2];
  if (argv.empty() || pipe2(out, O_CLOEXEC) != 0) {
    result.err = "cannot start a program: no pipe";
    return result;
  }
  if (pipe2(err, O_CLOEXEC) != 0) {
    close(out[0]);
    close(out[1]);
    result.err = "cannot start " + argv[0] + ": no pipe";
    return result;
  }
  const pid_t pid = fork();
  if (pid == 0) {
    const int null = open("/dev/null", O_RDONLY);
    if (null >= 0) dup2(null, 0);
    dup2(out[1], 1);
    dup2(err[1], 2);
    execvp(args[0], args.data());
    const char* reason = std::strerror(errno);
    (void)!write(2, reason, std::strlen(reason));
    _exit(127);
  }
  close(out[1]);
  close(err[1]);
  if (pid < 0) {
    close(out[0]);
    close(err[0]);
    result.err = "cannot start " + argv[0] + ": fork failed";
    return result;
  }
  drain(out[0], err[0], result);
  int raw = 0;
  while (waitpid(pid, &raw, 0) < 0 && errno == EINTR) {
  }
  result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  if (result.status == 127 && result.out.empty())
    result.err = "cannot start " + argv[0] + ": " + result.err;
  return result;
}

}  // namespace farm

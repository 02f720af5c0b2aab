// Test helper on POSIX: starts a program with fork and execv, its streams redirected to files.
#include "support/child_process.h"
#include "support/platform/posix/spawn_child.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

pid_t spawnChild(const std::string& program, const std::vector<std::string>& args,
                 const std::string& inPath, const std::string& outPath,
                 const std::string& errPath) {
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

int runChild(const std::string& program, const std::vector<std::string>& args,
             const std::string& inPath, const std::string& outPath, const std::string& errPath) {
  const pid_t child = spawnChild(program, args, inPath, outPath, errPath);
  int status = 0;
  if (child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status)) {
    return WEXITSTATUS(status);
  }
  return -1;
}

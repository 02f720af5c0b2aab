// The executable's folder from /proc, environment variables with setenv, SIGPIPE ignored.
#include "controller/worker/session/system_environment.h"

#include <signal.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <filesystem>

namespace worker {

std::string ownExecutableFolder() {
  char path[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
  if (length <= 0) return std::filesystem::current_path().string();
  return std::filesystem::path(std::string(path, static_cast<size_t>(length)))
      .parent_path()
      .string();
}

std::string executableSuffix() {
  return "";
}

void ignoreClosedPipes() {
  signal(SIGPIPE, SIG_IGN);
}

void setEnvironmentVariable(const std::string& name, const std::string& value) {
  setenv(name.c_str(), value.c_str(), 1);
}

}  // namespace worker

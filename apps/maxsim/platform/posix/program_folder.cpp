// The executable's folder on Linux: where /proc/self/exe points.
#include "apps/maxsim/program_folder.h"

#include <limits.h>
#include <unistd.h>

std::string programFolder() {
  char path[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
  if (length <= 0) return "";
  const std::string executable(path, static_cast<size_t>(length));
  return executable.substr(0, executable.rfind('/'));
}

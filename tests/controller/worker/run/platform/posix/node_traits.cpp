// The render node's differences on POSIX: drive letters mapped for the stand-in, signals.
#include "node_traits.h"

#include <cerrno>
#include <csignal>
#include <cstring>

std::string pluginNameOf(const std::filesystem::path& folder, worker::LaunchOptions& launch) {
  launch.drives['R'] = folder.string();
  return "R:\\";
}

std::filesystem::path pluginLogFor(const std::filesystem::path& workDir) {
  return workDir / "drive_c" / "Foxglove" / "logs" / "3zerorEzuridu.log";
}

int statusOfAnEndedMaxsim() {
  return 128 + SIGTERM;
}

std::string missingProgramReason() {
  return std::strerror(ENOENT);
}

// Preparing the working folder, the drive map and maxsim's place.
#include "controller/worker/worker_environment.h"

#include <win32/drive_map.h>

#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace worker {

namespace fs = std::filesystem;

namespace {

/// The folder of the running executable.
fs::path ownFolder() {
  char path[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
  if (length <= 0) return fs::current_path();
  return fs::path(std::string(path, static_cast<size_t>(length))).parent_path();
}

void makeFolder(const fs::path& folder) {
  std::error_code error;
  fs::create_directories(folder, error);
  if (error || !fs::is_directory(folder)) {
    throw std::runtime_error("cannot make the folder " + folder.string() + ": " + error.message());
  }
}

}  // namespace

WorkerEnvironment prepareEnvironment(const LaunchOptions& options) {
  WorkerEnvironment environment;
  const fs::path work = fs::absolute(options.workDir).lexically_normal();
  makeFolder(work);
  environment.workDir = work.string();
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    const std::string variable = std::string("MAXSIM_DRIVE_") + letter;
    const auto given = options.drives.find(letter);
    std::string folder;
    if (given != options.drives.end()) {
      folder = fs::absolute(given->second).lexically_normal().string();
    } else if (const char* mapped = std::getenv(variable.c_str()); mapped && *mapped) {
      folder = mapped;
    } else {
      folder = (work / (std::string("drive_") + static_cast<char>(letter - 'A' + 'a'))).string();
    }
    setenv(variable.c_str(), folder.c_str(), 1);
  }
  environment.driveC = std::getenv("MAXSIM_DRIVE_C");
  makeFolder(fs::path(environment.driveC) / "Foxglove" / "logs");
  environment.pluginLog = localPath("c:/Foxglove/logs/3zerorEzuridu.log");
  environment.maxsim = options.maxsim.empty() ? (ownFolder() / "maxsim").string()
                                              : fs::absolute(options.maxsim).string();
  environment.maxsimOutput = (work / "maxsim.log").string();
  // The file collects the output of every maxsim of this run only.
  std::ofstream(environment.maxsimOutput, std::ios::trunc);
  return environment;
}

std::string localPath(const std::string& pluginPath) {
  return standin::posix_path(pluginPath);
}

}  // namespace worker

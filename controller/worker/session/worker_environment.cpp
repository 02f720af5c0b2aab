// Preparing the working folder, the drive map and maxsim's place.
#include "controller/worker/session/worker_environment.h"

#include "controller/worker/session/system_environment.h"

#include <win32/drive_map.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace worker {

namespace fs = std::filesystem;

namespace {

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
    setEnvironmentVariable(variable, folder);
  }
  environment.driveC = std::getenv("MAXSIM_DRIVE_C");
  makeFolder(fs::path(environment.driveC) / "Foxglove" / "logs");
  environment.pluginLog = localPath("c:/Foxglove/logs/3zerorEzuridu.log");
  environment.maxsim = options.maxsim.empty()
                           ? (fs::path(ownExecutableFolder()) / "maxsim").string()
                           : fs::absolute(options.maxsim).string();
  environment.maxsimOutput = (work / "maxsim.log").string();
  environment.logDir = (work / "logs").string();
  makeFolder(environment.logDir);
  return environment;
}

std::string localPath(const std::string& pluginPath) {
  return standin::posix_path(pluginPath);
}

}  // namespace worker

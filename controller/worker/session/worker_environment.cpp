// Preparing the working folder, the drive map and maxsim's place.
#include "controller/worker/session/worker_environment.h"

#include "controller/worker/session/system_environment.h"

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
  environment.driveC = mapDriveLetters(options.drives, environment.workDir);
  makeFolder(fs::path(environment.driveC) / "Foxglove" / "logs");
  environment.pluginLog = localPath("c:/Foxglove/logs/3zerorEzuridu.log");
  environment.maxsim =
      options.maxsim.empty()
          ? (fs::path(ownExecutableFolder()) / ("maxsim" + executableSuffix())).string()
          : fs::absolute(options.maxsim).string();
  environment.maxsimOutput = (work / "maxsim.log").string();
  environment.logDir = (work / "logs").string();
  makeFolder(environment.logDir);
  return environment;
}

}  // namespace worker

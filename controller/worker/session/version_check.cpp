// Asking a fresh maxsim for the plug-in's version line.
#include "controller/worker/session/version_check.h"

#include "controller/common/exit_status.h"
#include "controller/worker/session/plugin_session.h"
#include "controller/worker/session/worker_environment.h"

#include <filesystem>
#include <random>

namespace worker {

std::string workerVersion() {
  return "foxglove-worker 2.7.29981";
}

int printVersions(const LaunchOptions& options, std::ostream& out, const Clock& clock) {
  out << workerVersion() << std::endl;
  namespace fs = std::filesystem;
  LaunchOptions launch = options;
  const fs::path work =
      fs::temp_directory_path() / ("foxglove-version-" + std::to_string(std::random_device()()));
  launch.workDir = work.string();
  int status = controller::allFramesDone;
  try {
    const WorkerEnvironment environment = prepareEnvironment(launch);
    PluginSession session(environment, launch, clock);
    const controller::Expected<void> started = session.start();
    if (started) {
      out << "plug-in: " << session.versionLine() << std::endl;
    } else {
      out << "plug-in: not reached: " << started.failure().text << std::endl;
      status = controller::nodeIsBad;
    }
    (void)session.finish(10000);
  } catch (const std::exception& error) {
    out << "plug-in: not reached: " << error.what() << std::endl;
    status = controller::nodeIsBad;
  }
  std::error_code ignored;
  fs::remove_all(work, ignored);
  return status;
}

}  // namespace worker

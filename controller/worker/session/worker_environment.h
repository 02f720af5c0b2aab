// The worker's working folder and drive map, shared with the maxsim it starts.
#pragma once

#include "controller/worker/run/options.h"
#include "controller/worker/session/drive_letters.h"

#include <string>

namespace worker {

/// Where things are for one run of the worker.
struct WorkerEnvironment {
  std::string workDir;
  /// maxsim's program file.
  std::string maxsim;
  /// The file that collects maxsim's own output (appended to); a render gives each session
  /// its own.
  std::string maxsimOutput;
  /// WORK-DIR/logs: where a render keeps each session's maxsim output and plug-in log.
  std::string logDir;
  /// The folder of drive C: and the plug-in's log file in it.
  std::string driveC;
  std::string pluginLog;
};

/// Makes the working folder, its logs folder and drive C's Foxglove/logs folder, and maps the
/// drive letters for maxsim (mapDriveLetters). Every path returned is absolute. Throws
/// std::runtime_error when a folder cannot be made or a drive cannot be mapped.
WorkerEnvironment prepareEnvironment(const LaunchOptions& options);

}  // namespace worker

// The worker's working folder and drive map, shared with the maxsim it starts.
#pragma once

#include "controller/worker/run/options.h"

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

/// Makes the working folder, its logs folder and drive C's Foxglove/logs folder, and sets
/// MAXSIM_DRIVE_A to MAXSIM_DRIVE_Z in this process's environment (which maxsim inherits): a drive
/// given in the options wins, then one already mapped in the environment, else WORK-DIR/drive_x.
/// Every path returned is absolute. Throws std::runtime_error when a folder cannot be made.
WorkerEnvironment prepareEnvironment(const LaunchOptions& options);

/// Where a file name as the plug-in sees it (a Windows path, drive letter or not) is on this
/// machine, through the drive map that prepareEnvironment set.
std::string localPath(const std::string& pluginPath);

}  // namespace worker

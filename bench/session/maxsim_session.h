// Benchmark helper: a controller on loopback driving one maxsim that runs the Moonstone daemon.
#pragma once

#include "controller/link/controller_link.h"
#include "controller/worker/session/maxsim_process.h"
#include "support/temp_folder.h"

#include <filesystem>
#include <string>

namespace bench {

/// The drives a benchmark's maxsim children use, in a temporary folder removed at the end:
/// C: holds the plug-in's log, R: the scenes' outputs. Sets MAXSIM_DRIVE_C and MAXSIM_DRIVE_R.
class BenchDrives {
 public:
  BenchDrives();
  std::filesystem::path driveC() const { return folder_.path() / "c"; }
  std::filesystem::path driveR() const { return folder_.path() / "r"; }
  /// Where every maxsim child's standard output and error are appended.
  std::filesystem::path maxsimOutput() const { return folder_.path() / "maxsim.out"; }

 private:
  TempFolder folder_;
};

/// One maxsim process running the daemon against a controller of its own, connected and greeted
/// once constructed. Every command throws std::runtime_error with the transcript when a reply is
/// an error or the last one is not a success.
class MaxsimSession {
 public:
  /// Starts binDir/maxsim with the plug-ins of binDir/plugins (default: this build's).
  explicit MaxsimSession(const BenchDrives& drives, const std::string& binDir = MOONSTONE_BIN_DIR);
  /// Hangs up; the process object then ends maxsim if it does not exit by itself.
  ~MaxsimSession() { link_.hangUp(); }
  MaxsimSession(const MaxsimSession&) = delete;
  MaxsimSession& operator=(const MaxsimSession&) = delete;

  void startJob(const std::string& scenePath, const std::string& camera);
  /// Renders (or skips) one frame; returns every packet of the command, requests included.
  controller::Transcript renderTask(int frame);
  void endJob();
  /// Hangs up and waits for maxsim to exit on its own; throws when its status is not 0.
  void finish();

  pid_t pid() const { return process_.pid(); }

 private:
  /// Sends the command line and reads to its last reply; returns every packet, requests included.
  controller::Transcript command(const std::string& line);

  controller::ControllerLink link_;
  worker::MaxsimProcess process_;
};

/// The command line that renders frame N.
std::string renderTaskLine(int frame);

}  // namespace bench

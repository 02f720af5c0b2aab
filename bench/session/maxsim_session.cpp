// Benchmark helper: starting maxsim with the daemon's start-up script, the job commands, exit.
#include "maxsim_session.h"

#include "controller/link/command_replies.h"
#include "controller/worker/session/startup_script.h"

#include <sys/wait.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <stdexcept>

namespace bench {

namespace {
const int waitMs = 60000;

std::string describe(const std::string& command, const controller::Transcript& transcript) {
  std::string text = command + " failed:";
  for (const std::string& packet : transcript) text += "\n  " + packet;
  return text;
}

// Token and port are fixed before maxsim starts, so the start-up script is made here.
std::vector<std::string> maxsimArguments(const std::string& binDir, int port) {
  return {"-q", "-p", binDir + "/plugins", "-mxs",
          worker::startupScript(port, worker::makeToken())};
}
}  // namespace

BenchDrives::BenchDrives() {
  std::filesystem::create_directories(driveC() / "Foxglove" / "logs");
  std::filesystem::create_directories(driveR());
  setenv("MAXSIM_DRIVE_C", driveC().c_str(), 1);
  setenv("MAXSIM_DRIVE_R", driveR().c_str(), 1);
}

MaxsimSession::MaxsimSession(const BenchDrives& drives, const std::string& binDir)
    : process_(binDir + "/maxsim", maxsimArguments(binDir, link_.port()),
               drives.maxsimOutput().string()) {
  link_.accept(waitMs);
  link_.handshake(waitMs);
}

std::string renderTaskLine(int frame) {
  return "RenderTask," + std::to_string(frame);
}

controller::Transcript MaxsimSession::command(const std::string& line) {
  const controller::Transcript transcript = link_.command(line, waitMs);
  const bool failed = std::any_of(transcript.begin(), transcript.end(), controller::isErrorReply) ||
                      transcript.back().rfind("SUCCESS", 0) != 0;
  if (failed) throw std::runtime_error(describe(line, transcript));
  return transcript;
}

void MaxsimSession::startJob(const std::string& scenePath, const std::string& camera) {
  command("StartJob," + scenePath + "," + camera);
}

controller::Transcript MaxsimSession::renderTask(int frame) {
  return command(renderTaskLine(frame));
}

void MaxsimSession::endJob() {
  command("EndJob");
}

void MaxsimSession::finish() {
  link_.hangUp();
  // Block until maxsim has ended without reaping it, so that the process object still collects
  // its status; waiting this way costs no polling delay inside timed runs.
  siginfo_t info{};
  while (waitid(P_PID, static_cast<id_t>(process_.pid()), &info, WEXITED | WNOWAIT) != 0 &&
         errno == EINTR) {
  }
  const std::optional<int> status = process_.poll();
  if (!status || *status != 0) {
    throw std::runtime_error("maxsim ended with status " + std::to_string(status.value_or(-1)));
  }
}

}  // namespace bench

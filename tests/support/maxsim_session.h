// Test fixture: maxsim loading the real moonstone.dlx, whose start-up script runs the daemon
// against a controller on loopback that the test plays.
#pragma once

#include "controller/link/controller_link.h"
#include "support/process.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

/// Drive C (with the log folder) and drive R (for scenes and renders) in temporary folders of
/// the test, and maxsim running the daemon on a thread of the test: the thread ends when maxsim
/// has exited and been reaped.
class MaxsimSession : public ::testing::Test {
 protected:
  static constexpr int waitMs = 20000;

  void SetUp() override {
    setenv("MAXSIM_DRIVE_C", driveC.path().c_str(), 1);
    setenv("MAXSIM_DRIVE_R", output.path().c_str(), 1);
    std::filesystem::create_directories(driveC.path() / "Foxglove" / "logs");
  }
  // A test that failed half-way may leave maxsim serving: hanging up ends its session.
  void TearDown() override {
    controller.hangUp();
    if (host.joinable()) host.join();
  }

  /// Starts maxsim with a start-up script that runs the daemon on `port` and prints its result.
  void start(int port, const std::string& token = "secret token") {
    const std::string script = "r = FoxgloveUtil.RunMoonstoneDaemon " + std::to_string(port) +
                               " \"" + token + "\"\nprint r";
    const std::string maxsim = std::string(MOONSTONE_BIN_DIR) + "/maxsim";
    const std::string plugins = std::string(MOONSTONE_BIN_DIR) + "/plugins";
    host = std::thread([this, script, maxsim, plugins] {
      result = runProcess(maxsim, {"-q", "-p", plugins, "-mxs", script});
    });
  }
  /// Starts maxsim and completes the handshake.
  void connect() {
    start(controller.port());
    controller.accept(waitMs);
    const auto [token, version] = controller.handshake(waitMs);
    ASSERT_EQ(token, "secret token");
    ASSERT_EQ(version.rfind("Moonstone 2.7.29981 ", 0), 0u) << version;
  }
  /// Waits for maxsim to end by itself.
  ProcessResult waitForExit() {
    host.join();
    return result;
  }
  /// Hangs up and waits for maxsim to end.
  ProcessResult finish() {
    controller.hangUp();
    return waitForExit();
  }
  std::string logText() const {
    std::ifstream in(driveC.path() / "Foxglove/logs/3zerorEzuridu.log");
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
  /// Writes a scene file under drive R and returns its path.
  std::string scene(const std::string& name, const std::string& json) {
    const std::filesystem::path path = output.path() / name;
    std::ofstream(path) << json;
    return path.string();
  }
  static std::string example(const std::string& name) {
    return std::string(MOONSTONE_SOURCE_DIR) + "/examples/scenes/" + name;
  }

  TempFolder driveC;
  TempFolder output;
  controller::ControllerLink controller;
  std::thread host;
  ProcessResult result;
};

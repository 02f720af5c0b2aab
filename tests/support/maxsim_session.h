// Test fixture: maxsim loading the real moonstone.dlx, whose start-up script runs the daemon
// against a controller on loopback that the test plays.
#pragma once

#include "controller/link/command_line.h"
#include "controller/link/controller_link.h"
#include "support/log_drive.h"
#include "support/mapped_drive.h"
#include "support/process.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

/// Drive C (with the log folder) and drive R (for scenes and renders) for the test (see
/// MappedDrive), and maxsim running the daemon on a thread of the test: the thread ends when
/// maxsim has exited and been reaped.
class MaxsimSession : public ::testing::Test {
 protected:
  static constexpr int waitMs = 20000;

  // A test that failed half-way may leave maxsim serving: hanging up ends its session.
  void TearDown() override {
    controller.hangUp();
    if (host.joinable()) host.join();
  }

  /// Starts maxsim with a start-up script that runs the daemon on `port` and prints its result.
  void start(int port, const std::string& token = "secret token") {
    const std::string script = "r = FoxgloveUtil.RunMoonstoneDaemon " + std::to_string(port) +
                               " \"" + token + "\"\nprint r";
    const std::string maxsim = std::string(MOONSTONE_BIN_DIR) + "/maxsim" MOONSTONE_EXE_SUFFIX;
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
  /// Sends StartJob on the scene file, its name escaped as the controller escapes it; the replies.
  controller::Transcript startJobOn(const std::string& sceneFile, const std::string& camera = "") {
    return controller.command(controller::commandLine({"StartJob", sceneFile, camera}), waitMs);
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
  std::string logText() const { return driveC.text(); }
  /// Writes a scene file at the top of drive R and returns its name there (R:\<name> on
  /// Windows).
  std::string scene(const std::string& name, const std::string& json) {
    const std::filesystem::path path = output.path() / name;
    std::ofstream(path) << json;
    return path.string();
  }
  static std::string example(const std::string& name) {
    return std::string(MOONSTONE_SOURCE_DIR) + "/examples/scenes/" + name;
  }

  LogDrive driveC;
  MappedDrive output{'R'};
  controller::ControllerLink controller;
  std::thread host;
  ProcessResult result;
};

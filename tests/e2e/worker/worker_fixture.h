// Test fixture for foxglove-worker end to end: the real worker, maxsim and plug-in rendering the
// example scenes, on drives C and R of the test's own.
#pragma once

#include "support/background_process.h"
#include "support/log_drive.h"
#include "support/mapped_drive.h"
#include "support/process.h"
#include "support/temp_folder.h"
#include "support/wait_until.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

inline std::string exampleScene(const std::string& name) {
  return std::string(MOONSTONE_SOURCE_DIR) + "/examples/scenes/" + name;
}

inline std::string workerProgram() {
  return std::string(MOONSTONE_BIN_DIR) + "/foxglove-worker" MOONSTONE_EXE_SUFFIX;
}

/// Runs foxglove-worker with the arguments and `input` as its standard input; its output and
/// error together in `out`, each line ended by "\n" (a Windows program's text output ends them
/// with "\r\n").
inline ProcessResult runWorker(const std::vector<std::string>& arguments,
                               const std::string& input = "") {
  ProcessResult result = runProcess(workerProgram(), arguments, input, ErrorStream::intoOutput);
  result.out.erase(std::remove(result.out.begin(), result.out.end(), '\r'), result.out.end());
  return result;
}

inline bool contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

/// The worker finds drives C and R as a node has them mapped before it starts (see MappedDrive):
/// every run of a test renders into the same drive R.
class WorkerEndToEndTest : public ::testing::Test {
 protected:
  /// The worker's arguments for a render of the scene with its own work folder.
  std::vector<std::string> render(const std::string& scene, const std::string& frames,
                                  const std::string& work = "work") {
    return {"render", scene, "--frames", frames, "--work-dir", path(work), "--progress", "lines"};
  }

  /// A file or folder in this test's temporary folder, in the system's separators.
  std::string path(const std::string& relative) const {
    return (folder.path() / std::filesystem::path(relative).make_preferred()).string();
  }
  /// Where the file that the plug-in names R:\<relative> is.
  std::string onR(const std::string& relative) const {
    return (driveR.path() / std::filesystem::path(relative).make_preferred()).string();
  }

  /// A copy of an example scene with changes, written into this test's folder.
  std::string changedScene(const std::string& example, const nlohmann::json& patch) {
    std::ifstream in(exampleScene(example));
    nlohmann::json scene = nlohmann::json::parse(in);
    scene.merge_patch(patch);
    const std::string file = path("changed_" + example);
    std::ofstream(file) << scene.dump(2);
    return file;
  }

  static std::vector<std::string> with(std::vector<std::string> arguments,
                                       const std::vector<std::string>& extra) {
    arguments.insert(arguments.end(), extra.begin(), extra.end());
    return arguments;
  }

  TempFolder folder;
  LogDrive driveC;
  MappedDrive driveR{'R'};
};

/// The worker in the background on a frame that renders slowly, with maxsim's pid from its notes.
class WorkerInTheBackgroundTest : public WorkerEndToEndTest {
 protected:
  long startSlowRender(std::unique_ptr<BackgroundProcess>& worker) {
    const std::string scene = changedScene("animated.max", {{"render", {{"ms_per_row", 60000}}}});
    worker = std::make_unique<BackgroundProcess>(workerProgram(), render(scene, "1-2"),
                                                 path("worker.out"));
    EXPECT_TRUE(worker->waitForOutput("FRAME: 1 start", 60)) << worker->output();
    // The worker announces the frame before the plug-in has taken it.
    EXPECT_TRUE(
        waitUntil([this] { return driveC.text().find("Renderframe 1") != std::string::npos; }, 60))
        << driveC.text();
    const std::string out = worker->output();
    const size_t at = out.find("maxsim pid ");
    if (at == std::string::npos) return 0;
    return std::stol(out.substr(at + 11));
  }
};

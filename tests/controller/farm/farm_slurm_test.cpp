// The farm mode on a real one-node Slurm (scripts/local-slurm.sh): a chunked job, a task whose
// maxsim crashes, a task cancelled while rendering and then retried, a tiled job, and a job whose
// scene is missing. Each checks the frames' files on disk, the report and the exit status.
#include "controller/farm/process_output.h"
#include "controller/worker/images/image_files.h"

#include "support/process.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

namespace {

namespace fs = std::filesystem;

// Brings the cluster up once for the suite; without it every test skips with the reason.
class LocalSlurm : public ::testing::Environment {
 public:
  void SetUp() override {
    if (geteuid() != 0) {
      skipReason = "Slurm's daemons need root here; run as root to test the farm mode";
      return;
    }
    const ProcessResult up = runProcess(
        "/bin/bash", {std::string(MOONSTONE_SOURCE_DIR) + "/scripts/local-slurm.sh", "up"}, "",
        ErrorStream::intoOutput);
    std::string last = up.out.substr(0, up.out.find_last_not_of('\n') + 1);
    last = last.substr(last.find_last_of('\n') + 1);
    if (up.status != 0 || last.empty()) {
      skipReason = "the local Slurm did not start:\n" + up.out;
      return;
    }
    directory = last;
    setenv("SLURM_CONF", (directory + "/slurm.conf").c_str(), 1);
  }
  void TearDown() override {
    if (!directory.empty())
      runProcess("/bin/bash", {std::string(MOONSTONE_SOURCE_DIR) + "/scripts/local-slurm.sh",
                               "down", directory});
  }

  static std::string skipReason;
  std::string directory;
};
std::string LocalSlurm::skipReason;

const auto* const environment = ::testing::AddGlobalTestEnvironment(new LocalSlurm);

ProcessResult worker(const std::vector<std::string>& arguments) {
  return runProcess(std::string(MOONSTONE_BIN_DIR) + "/foxglove-worker", arguments, "",
                    ErrorStream::intoOutput);
}

bool contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

std::string readFile(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

class FarmSlurmTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!LocalSlurm::skipReason.empty()) GTEST_SKIP() << LocalSlurm::skipReason;
  }

  std::string path(const std::string& relative) const {
    return (folder.path() / relative).string();
  }

  /// A copy of an example scene with changes, in this test's folder.
  std::string scene(const nlohmann::json& patch) {
    std::ifstream in(std::string(MOONSTONE_SOURCE_DIR) + "/examples/scenes/animated.max");
    nlohmann::json scene = nlohmann::json::parse(in);
    scene.merge_patch(patch);
    std::ofstream(path("scene.max")) << scene.dump(2);
    return path("scene.max");
  }

  /// Submits the scene's frames with the output drive in this test's folder; the Slurm job id.
  std::string submit(const std::string& scene, const std::string& frames, int chunk) {
    const ProcessResult run =
        worker({"farm", "submit", scene, "--frames", frames, "--chunk", std::to_string(chunk),
                "--job-dir", path("job"), "--drive", "R=" + path("r")});
    EXPECT_EQ(run.status, 0) << run.out;
    return run.out.substr(0, run.out.find('\n'));
  }

  ProcessResult wait() {
    return worker({"farm", "wait", path("job"), "--timeout", "300", "--poll", "0.5"});
  }

  nlohmann::json report() {
    worker({"farm", "report", path("job"), "--json", path("report.json")});
    return nlohmann::json::parse(readFile(path("report.json")));
  }

  bool frameFile(int frame) {
    char name[64];
    std::snprintf(name, sizeof name, "r/animated/animated%04d.tga", frame);
    return fs::exists(path(name));
  }

  TempFolder folder;
};

TEST_F(FarmSlurmTest, ChunkedJobRendersEveryFrameOnceAcrossTasks) {
  const std::string scene = std::string(MOONSTONE_SOURCE_DIR) + "/examples/scenes/animated.max";
  ASSERT_FALSE(submit(scene, "1-7", 3).empty());
  const ProcessResult waited = wait();
  EXPECT_EQ(waited.status, 0) << waited.out;
  EXPECT_TRUE(contains(waited.out, "7/7 frames done")) << waited.out;
  const nlohmann::json summary = report();
  EXPECT_EQ(summary["exit_code"], 0);
  ASSERT_EQ(summary["tasks"].size(), 3u);
  EXPECT_EQ(summary["tasks"][2]["frames"], nlohmann::json({7}));
  ASSERT_EQ(summary["frames"].size(), 7u);
  for (int frame = 1; frame <= 7; ++frame) {
    EXPECT_EQ(summary["frames"][frame - 1]["status"], "done") << frame;
    EXPECT_TRUE(frameFile(frame)) << frame;
  }
}

TEST_F(FarmSlurmTest, MaxsimCrashFailsItsFrameWithTheSessionLogAndTheRestRender) {
  // An untrapped processor fault: maxsim dies at frame 2, a fresh one takes frame 3.
  submit(scene({{"faults", {{{"kind", "float_underflow"}, {"frame", 2}}}}}), "1-3", 3);
  const ProcessResult waited = wait();
  EXPECT_EQ(waited.status, 1) << waited.out;
  const nlohmann::json frame2 = report()["frames"][1];
  EXPECT_EQ(frame2["status"], "failed") << frame2;
  ASSERT_TRUE(frame2["maxsim_log"].is_string()) << frame2;
  EXPECT_TRUE(fs::exists(frame2["maxsim_log"].get<std::string>())) << frame2;
  const ProcessResult status = worker({"farm", "status", path("job")});
  EXPECT_TRUE(contains(status.out, "frame 2 failed")) << status.out;
  EXPECT_TRUE(contains(status.out, frame2["maxsim_log"].get<std::string>())) << status.out;
  EXPECT_TRUE(frameFile(1) && frameFile(3) && !frameFile(2));
}

TEST_F(FarmSlurmTest, CancelledTaskKeepsItsFinishedFramesAndRetryRendersOnlyTheRest) {
  // Slow rows, so that the cancel lands inside frame 2's render.
  const std::string slow = scene({{"render", {{"ms_per_row", 25}}}});
  const std::string jobId = submit(slow, "1-4", 4);
  const std::string log = path("job/tasks/0/attempt-0.log");
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(3);
  while (!contains(readFile(log), "FRAME: 2 start") && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  ASSERT_TRUE(contains(readFile(log), "FRAME: 2 start")) << readFile(log);
  ASSERT_EQ(farm::runProgram({"scancel", jobId}).status, 0);

  const ProcessResult waited = wait();
  EXPECT_EQ(waited.status, 5) << waited.out;
  nlohmann::json summary = report();
  EXPECT_EQ(summary["frames"][0]["status"], "done") << summary;
  // The frame being rendered when the signal came failed; the ones after it never started.
  EXPECT_EQ(summary["frames"][1]["status"], "failed") << summary;
  EXPECT_EQ(summary["frames"][2]["status"], "not_rendered") << summary;
  EXPECT_EQ(summary["frames"][3]["status"], "not_rendered") << summary;
  EXPECT_TRUE(frameFile(1));
  EXPECT_FALSE(frameFile(4));

  const ProcessResult retried = worker({"farm", "retry", path("job")});
  ASSERT_EQ(retried.status, 0) << retried.out;
  EXPECT_EQ(readFile(path("job/tasks/0/attempt-1.frames")), "2,3,4");
  const ProcessResult again = wait();
  EXPECT_EQ(again.status, 0) << again.out;
  summary = report();
  for (int frame = 1; frame <= 4; ++frame) {
    EXPECT_EQ(summary["frames"][frame - 1]["status"], "done") << frame;
    EXPECT_TRUE(frameFile(frame)) << frame;
  }
  EXPECT_EQ(summary["tasks"][0]["attempt"], 1);
}

TEST_F(FarmSlurmTest, TiledJobStitchesEveryFrameAfterItsTileTasks) {
  const std::string scene = std::string(MOONSTONE_SOURCE_DIR) + "/examples/scenes/animated.max";
  const ProcessResult submitted =
      worker({"farm", "submit", scene, "--frames", "4-5", "--tiles", "2x2", "--job-dir",
              path("job"), "--drive", "R=" + path("r")});
  ASSERT_EQ(submitted.status, 0) << submitted.out;
  EXPECT_EQ(std::count(submitted.out.begin(), submitted.out.end(), '\n'), 2) << submitted.out;
  const ProcessResult waited = wait();
  EXPECT_EQ(waited.status, 0) << waited.out;
  const nlohmann::json summary = report();
  ASSERT_EQ(summary["tasks"].size(), 5u);
  ASSERT_EQ(summary["frames"].size(), 2u);
  EXPECT_EQ(summary["frames"][0]["files"].size(), 3u) << summary;  // the image and two elements
  // The stitched frames equal the same frames rendered whole on one machine.
  const ProcessResult whole =
      worker({"render", scene, "--frames", "4-5", "--work-dir", path("whole"), "--drive",
              "R=" + path("whole-r"), "--progress", "lines"});
  ASSERT_EQ(whole.status, 0) << whole.out;
  for (const char* file : {"animated/animated0004.tga", "animated/elements/animated_alpha0005.tga"})
    EXPECT_TRUE(worker::readImage(path(std::string("r/") + file))
                    .samePixels(worker::readImage(path(std::string("whole-r/") + file))))
        << file;
}

TEST_F(FarmSlurmTest, MissingSceneFailsTheJobAndIsNotRetried) {
  submit(path("no-such-scene.max"), "1-4", 2);
  const ProcessResult waited = wait();
  EXPECT_EQ(waited.status, 3) << waited.out;
  const nlohmann::json summary = report();
  EXPECT_EQ(summary["exit_code"], 3);
  for (const nlohmann::json& frame : summary["frames"]) EXPECT_EQ(frame["status"], "not_rendered");
  EXPECT_TRUE(summary["tasks"][0]["job_error"].is_string()) << summary;
  const ProcessResult retried = worker({"farm", "retry", path("job")});
  EXPECT_EQ(retried.status, 3) << retried.out;
  EXPECT_TRUE(contains(retried.out, "nothing to retry")) << retried.out;
  EXPECT_FALSE(fs::exists(path("job/tasks/0/attempt-1.frames")));
}

}  // namespace

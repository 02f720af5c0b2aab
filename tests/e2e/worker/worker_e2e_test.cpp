// foxglove-worker end to end on the example scenes: frames with elements and previews, stepped
// frame lists, black frames, injected crashes and their logs, tiles stitched into the whole
// frame, a stalled render, job failures, scene-script output and look-ups, and the line console.
#include "e2e/worker/declined_fault.h"
#include "e2e/worker/worker_fixture.h"

#include "controller/worker/images/image_files.h"
#include "support/declined_faults.h"

#include <algorithm>
#include <fstream>
#include <regex>
#include <sstream>

namespace {

namespace fs = std::filesystem;

TEST_F(WorkerEndToEndTest, RendersFramesWithElementsAndPreviews) {
  const ProcessResult run = runWorker(
      with(render(exampleScene("animated.max"), "1-3"), {"--jpeg-previews", "R:\\previews"}));
  ASSERT_EQ(run.status, 0) << run.out;
  for (const std::string& frame : std::vector<std::string>{"0001", "0002", "0003"}) {
    for (const std::string& file :
         {"animated/animated" + frame + ".tga", "animated/elements/animated_alpha" + frame + ".tga",
          "animated/elements/animated_shapes" + frame + ".tga",
          "previews/animated" + frame + ".jpg"}) {
      const std::string local = onR(file);
      EXPECT_TRUE(contains(run.out, "ok 160x120 " + local + "\n")) << local << "\n" << run.out;
      const worker::Image image = worker::readImage(local);
      EXPECT_EQ(image.width, 160);
      EXPECT_EQ(image.height, 120);
    }
  }
  EXPECT_TRUE(contains(run.out, "JOB: done 3/3 frames succeeded\n")) << run.out;
  EXPECT_TRUE(contains(run.out, "SUMMARY:\n")) << run.out;
  EXPECT_TRUE(fs::exists(driveC.file()));
}

TEST_F(WorkerEndToEndTest, RendersFloatingPointOutput) {
  const ProcessResult run = runWorker(render(exampleScene("exr_output.max"), "0"));
  ASSERT_EQ(run.status, 0) << run.out;
  const worker::Image image = worker::readImage(onR("exr/exr_output0000.exr"));
  EXPECT_EQ(image.samples, worker::Image::Samples::Float);
}

TEST_F(WorkerEndToEndTest, RendersEveryStepOfAFrameList) {
  const ProcessResult run = runWorker(render(exampleScene("animated.max"), "0-20x10"));
  ASSERT_EQ(run.status, 0) << run.out;
  EXPECT_TRUE(contains(run.out, "FRAME: 0 start 1/3\n")) << run.out;
  EXPECT_TRUE(contains(run.out, "FRAME: 10 start 2/3\n")) << run.out;
  EXPECT_TRUE(contains(run.out, "FRAME: 20 start 3/3\n")) << run.out;
  EXPECT_TRUE(fs::exists(onR("animated/animated0020.tga")));
  EXPECT_FALSE(fs::exists(onR("animated/animated0005.tga")));
}

TEST_F(WorkerEndToEndTest, ABlackFrameFailsTheJob) {
  const ProcessResult run =
      runWorker(with(render(exampleScene("black_frames.max"), "2-4"), {"--fail-on-black", "50"}));
  EXPECT_EQ(run.status, 1) << run.out;
  EXPECT_TRUE(contains(run.out, "DONE: 2 ")) << run.out;
  EXPECT_TRUE(contains(run.out, "FAILED: 3 ") &&
              contains(run.out,
                       "ERROR: 3 ERROR: 100% of the output image is black, which equals "
                       "or exceeds the minimum of 50%\n"))
      << run.out;
  EXPECT_TRUE(contains(run.out, "FAILED: 4 ")) << run.out;
  EXPECT_TRUE(contains(run.out,
                       "NOTE: plug-in log: " + path("work/logs/run-1-session-1-plugin.log") + "\n"))
      << run.out;
  EXPECT_FALSE(fs::exists(onR("black/black_frames0003.tga")));
}

TEST_F(WorkerEndToEndTest, AnInjectedCrashFailsOnlyItsFrame) {
  const std::string scene =
      changedScene("animated.max", {{"faults", {{{"kind", "access_violation"}, {"frame", 2}}}}});
  const ProcessResult run = runWorker(render(scene, "1-3"));
  EXPECT_EQ(run.status, 1) << run.out;
  EXPECT_TRUE(contains(run.out, "DONE: 1 ")) << run.out;
  EXPECT_TRUE(contains(run.out, "FAILED: 2 ")) << run.out;
  EXPECT_TRUE(contains(run.out, "DONE: 3 ")) << run.out;
  // The fault report follows the trapped fault's line.
  const size_t trapped = run.out.find("ERROR: 2 ERROR: Trapped SEH Exception in ");
  ASSERT_NE(trapped, std::string::npos) << run.out;
  EXPECT_TRUE(contains(run.out.substr(trapped), "Access Violation")) << run.out;
  EXPECT_TRUE(contains(run.out, "ERROR: 2 ERROR: Failed to save file.\n")) << run.out;
}

TEST_F(WorkerEndToEndTest, TilesStitchIntoTheWholeFrame) {
  const std::vector<std::string> files = {"animated/animated0005.tga",
                                          "animated/elements/animated_alpha0005.tga",
                                          "animated/elements/animated_shapes0005.tga"};
  // The frame rendered whole first; its files go before the tiles render the same names.
  const ProcessResult whole = runWorker(render(exampleScene("animated.max"), "5", "whole"));
  ASSERT_EQ(whole.status, 0) << whole.out;
  std::vector<worker::Image> wholeImages;
  for (const std::string& file : files) wholeImages.push_back(worker::readImage(onR(file)));
  fs::remove_all(onR("animated"));
  const ProcessResult tiled = runWorker(
      with(render(exampleScene("animated.max"), "5"), {"--tiles", "3x2", "--padding", "8"}));
  ASSERT_EQ(tiled.status, 0) << tiled.out;
  for (size_t i = 0; i < files.size(); ++i) {
    EXPECT_TRUE(worker::readImage(onR(files[i])).samePixels(wholeImages[i])) << files[i];
  }
  EXPECT_TRUE(fs::exists(onR("animated/tile_1_1_animated0005.tga")));
  // One rising percentage for the frame over its six tiles, 100 % only once the last is done.
  std::vector<int> percents;
  const std::regex progress(R"(PROGRESS: (\d+)% frame 5 job (\d+)%)");
  for (std::sregex_iterator match(tiled.out.begin(), tiled.out.end(), progress), end; match != end;
       ++match) {
    EXPECT_EQ((*match)[1], (*match)[2]) << tiled.out;
    percents.push_back(std::stoi((*match)[1]));
  }
  ASSERT_FALSE(percents.empty()) << tiled.out;
  EXPECT_TRUE(std::is_sorted(percents.begin(), percents.end())) << tiled.out;
  EXPECT_LT(percents.front(), 50) << tiled.out;
  EXPECT_EQ(std::count(percents.begin(), percents.end(), 100), 1) << tiled.out;
}

// With the scene's skip-existing setting the plug-in skips frames whose output exists; those
// files must verify like written ones, or the frame fails, and the worker leaves them in place.
TEST_F(WorkerEndToEndTest, ASkippedFrameWhoseFilesDoNotVerifyFails) {
  const std::string scene = changedScene("animated.max", {{"render", {{"skip_existing", true}}}});
  ASSERT_EQ(runWorker(render(scene, "1-2")).status, 0);
  const std::string element = onR("animated/elements/animated_alpha0001.tga");
  const std::string image = onR("animated/animated0002.tga");
  fs::remove(element);
  fs::resize_file(image, 100);
  // Frame 3 renders first, so the worker knows the names of a frame's files.
  const ProcessResult skipped = runWorker(render(scene, "3,1,2"));
  EXPECT_EQ(skipped.status, 1) << skipped.out;
  EXPECT_TRUE(contains(skipped.out, "DONE: 3 ")) << skipped.out;
  EXPECT_TRUE(contains(skipped.out, "FAILED: 1 ")) << skipped.out;
  EXPECT_TRUE(contains(skipped.out, "FILE: 1 failed " + element)) << skipped.out;
  EXPECT_TRUE(contains(skipped.out, "FAILED: 2 ")) << skipped.out;
  EXPECT_TRUE(contains(skipped.out, "FILE: 2 failed " + image)) << skipped.out;
  EXPECT_EQ(fs::file_size(image), 100u);

  const ProcessResult intact = runWorker(render(scene, "3"));
  EXPECT_EQ(intact.status, 0) << intact.out;
  EXPECT_TRUE(contains(intact.out, "FILE: 3 ok 160x120 ")) << intact.out;
}

// A failed write names the file and, where the worker can see it, why it could not be written.
TEST_F(WorkerEndToEndTest, AFailedWriteNamesTheFileAndTheReason) {
  fs::create_directories(onR("animated/animated0001.tga"));
  const ProcessResult blocked = runWorker(render(exampleScene("animated.max"), "1"));
  EXPECT_EQ(blocked.status, 1) << blocked.out;
  EXPECT_TRUE(contains(blocked.out, "(R:\\animated\\animated0001.tga: the name is a folder)\n"))
      << blocked.out;
}

TEST_F(WorkerEndToEndTest, TheWatchdogEndsAStalledRender) {
  const std::string scene = changedScene("animated.max", {{"render", {{"ms_per_row", 5000}}}});
  const ProcessResult run = runWorker(with(render(scene, "1"), {"--stall-timeout", "1"}));
  EXPECT_EQ(run.status, 1) << run.out;
  EXPECT_TRUE(contains(run.out,
                       "ERROR: 1 stalled: the plug-in sent nothing within the stall "
                       "timeout; maxsim was ended\n"))
      << run.out;
  EXPECT_TRUE(contains(run.out, "FAILED: 1 ")) << run.out;
}

TEST_F(WorkerEndToEndTest, ShowsSceneScriptOutputAndAnswersLookUps) {
  const std::string scene = changedScene(
      "animated.max",
      {{"scripts",
        {{{"text",
           "FoxgloveUtil.LogMessage (\"shot \" + (FoxgloveUtil.GetJobInfoEntry \"Shot\") + "
           "\" \" + (FoxgloveUtil.GetSubmitInfoEntryElement 1 \"Items\") + \" \" + "
           "(FoxgloveUtil.GetAuxFilename 0))"}}}}});
  const ProcessResult run =
      runWorker(with(render(scene, "1"), {"--job-info", "Shot=sh010", "--submit-element", "Items=a",
                                          "--submit-element", "Items=b", "--aux", "C:\\aux.txt"}));
  EXPECT_EQ(run.status, 0) << run.out;
  EXPECT_TRUE(contains(run.out, "STDOUT: 1 shot sh010 b C:\\aux.txt\n")) << run.out;
}

TEST_F(WorkerEndToEndTest, TheConsoleSendsLinesAndPrintsEveryPacket) {
  const std::string scene = exampleScene("animated.max");
  const ProcessResult run =
      runWorker({"session", "--work-dir", path("work")},
                "StartJob," + scene + ",\nHideFrameBuffer\nRenderTask,2\nEndJob\n");
  EXPECT_EQ(run.status, 0) << run.out;
  EXPECT_TRUE(contains(run.out, "-- connected: Moonstone ")) << run.out;
  EXPECT_TRUE(contains(run.out, ">> RenderTask,2\n<< STARTED\n")) << run.out;
  EXPECT_TRUE(contains(run.out, ">> CONTINUE\n")) << run.out;
  EXPECT_TRUE(contains(run.out, "<< SUCCESS\n>> EndJob\n<< SUCCESS\n")) << run.out;
  EXPECT_TRUE(contains(run.out, "-- maxsim exited with status 0\n")) << run.out;
  EXPECT_TRUE(fs::exists(onR("animated/animated0002.tga")));
}

TEST_F(WorkerEndToEndTest, HelpAndMistakes) {
  for (const std::string& command : std::vector<std::string>{"render", "session"}) {
    const ProcessResult help = runWorker({command, "--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(contains(help.out, "usage: foxglove-worker " + command)) << help.out;
  }
  const ProcessResult bad = runWorker({"render", "a.max", "--frames", "1-3x0"});
  EXPECT_EQ(bad.status, 2);
  EXPECT_TRUE(contains(bad.out, "bad frame list: the step must be at least 1\n  1-3x0\n      ^\n"))
      << bad.out;
  // An empty region is refused before any maxsim starts (no work folder is made).
  const ProcessResult region =
      runWorker(with(render(exampleScene("animated.max"), "1"), {"--region", "40,30,40,90"}));
  EXPECT_EQ(region.status, 2) << region.out;
  EXPECT_TRUE(contains(region.out, "--region needs 0 <= L < R and 0 <= T < B, got: 40,30,40,90"))
      << region.out;
  EXPECT_FALSE(fs::exists(path("work")));
  const ProcessResult help = runWorker({"render", "--help"});
  EXPECT_TRUE(contains(help.out, "  5  stopped by SIGTERM, SIGINT or SIGHUP")) << help.out;
  const ProcessResult version = runWorker({"--version"});
  EXPECT_EQ(version.status, 0) << version.out;
  EXPECT_TRUE(contains(version.out, "foxglove-worker 2.7.29981\nplug-in: Moonstone 2.7.29981 "))
      << version.out;
}

TEST_F(WorkerEndToEndTest, JobFailuresGetJobLinesAndTheirExitStatus) {
  const ProcessResult missing = runWorker(render(path("nonexistent.max"), "1-2"));
  EXPECT_EQ(missing.status, 3) << missing.out;
  EXPECT_TRUE(contains(missing.out, "ERROR: job StartJob failed: ")) << missing.out;
  EXPECT_FALSE(contains(missing.out, "ERROR: 0 ")) << missing.out;
  EXPECT_FALSE(contains(missing.out, "EndJob")) << missing.out;
  EXPECT_FALSE(contains(missing.out, "FRAME: ")) << missing.out;
  EXPECT_TRUE(contains(missing.out, "FAILED: 2 0.00s not rendered: StartJob failed: the scene " +
                                        path("nonexistent.max") + " does not exist\n"))
      << missing.out;

  // Why maxsim could not load a scene is on the worker's own job line.
  const std::string broken = path("broken.max");
  std::ofstream(broken) << R"({"format": "moonstone-scene", "render": {"width": "x"}})";
  const ProcessResult unloadable = runWorker(render(broken, "1", "broken"));
  EXPECT_EQ(unloadable.status, 3) << unloadable.out;
  EXPECT_TRUE(contains(unloadable.out, "ERROR: job StartJob failed: the scene does not load: " +
                                           broken + ": \"width\" must be a whole number"))
      << unloadable.out;

  // The tile grid is checked against the output before any tile renders.
  const ProcessResult wide =
      runWorker(with(render(exampleScene("animated.max"), "1", "wide"), {"--tiles", "200x1"}));
  EXPECT_EQ(wide.status, 3) << wide.out;
  EXPECT_TRUE(contains(
      wide.out, "ERROR: job --tiles 200x1 has more tiles than the 160x120 output has pixels\n"))
      << wide.out;
  EXPECT_TRUE(contains(wide.out, "SUMMARY:\n")) << wide.out;
}

// Frame failures that come again on every try show a bad job (3), not failed frames to retry (1);
// the other frames still render.
TEST_F(WorkerEndToEndTest, FailuresThatRepeatOnEveryTryAreABadJob) {
  const ProcessResult notACamera =
      runWorker(with(render(exampleScene("animated.max"), "1", "camera"), {"--camera", "Ball"}));
  EXPECT_EQ(notACamera.status, 3) << notACamera.out;
  EXPECT_TRUE(contains(notACamera.out, "FAILED: 1 ")) << notACamera.out;
  EXPECT_TRUE(contains(notACamera.out, "Failed to open the max renderer.")) << notACamera.out;

  const ProcessResult outOfTime =
      runWorker(render(exampleScene("animated.max"), "2000000000,1", "time"));
  EXPECT_EQ(outOfTime.status, 3) << outOfTime.out;
  EXPECT_TRUE(contains(outOfTime.out, "lies outside the host's time range")) << outOfTime.out;
  EXPECT_TRUE(contains(outOfTime.out, "DONE: 1 ")) << outOfTime.out;
}

TEST_F(WorkerEndToEndTest, AMaxsimKilledByAFaultLeavesItsSessionsLogs) {
  const std::string scene =
      changedScene("animated.max", {{"faults", {{{"kind", "float_underflow"}, {"frame", 2}}}}});
  letDeclinedFaultsEndTheHost();
  const ProcessResult run = runWorker(render(scene, "1-3"));
  EXPECT_EQ(run.status, 1) << run.out;
  EXPECT_TRUE(contains(run.out, "maxsim " + declinedUnderflowEnd())) << run.out;
  const std::string crashedLog = path("work/logs/run-1-session-1-plugin.log");
  EXPECT_TRUE(contains(run.out, "ERROR: 2 plug-in log: " + crashedLog + "\n")) << run.out;
  std::ifstream in(crashedLog);
  const std::string log((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_TRUE(contains(log, "RenderTask")) << log;
  EXPECT_TRUE(fs::exists(path("work/logs/run-1-session-2-plugin.log")));
  EXPECT_TRUE(contains(run.out, "DONE: 3 ")) << run.out;
}

/// The parser expressions of docs/worker.md, and what a stock parser reads: one FRAME: line per
/// frame, and the frame's own percentage first on PROGRESS lines.
TEST_F(WorkerEndToEndTest, TheDocumentedExpressionsMatchRealOutput) {
  const ProcessResult black =
      runWorker(with(render(exampleScene("black_frames.max"), "2-3"), {"--fail-on-black", "50"}));
  const ProcessResult missing = runWorker(render(path("nonexistent.max"), "1", "missing"));
  const std::string out = black.out + missing.out;
  std::ifstream in(std::string(MOONSTONE_SOURCE_DIR) + "/docs/worker.md");
  const std::string docs((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const size_t from = docs.find("Regular expressions for a parser");
  ASSERT_NE(from, std::string::npos);
  const std::string table =
      docs.substr(from, docs.find("\n\n", docs.find("| the end", from)) - from);
  const std::regex expression("`(\\^[^`]+)`");
  int checked = 0;
  for (std::sregex_iterator it(table.begin(), table.end(), expression), end; it != end; ++it) {
    const std::regex documented((*it)[1].str(), std::regex::multiline);
    EXPECT_TRUE(std::regex_search(out, documented)) << (*it)[1].str() << "\n" << out;
    ++checked;
  }
  EXPECT_EQ(checked, 7);

  std::istringstream lines(black.out);
  int frameLines = 0;
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind("FRAME: ", 0) == 0) ++frameLines;
    std::smatch percent;
    if (std::regex_search(line, percent, std::regex("^PROGRESS: (\\d+)% frame (\\d+)"))) {
      EXPECT_LE(std::stoi(percent[1]), 100) << line;
    }
  }
  EXPECT_EQ(frameLines, 2) << black.out;
  // The first frame's last progress line says 100 for the frame, not 50 for the chunk of two.
  EXPECT_TRUE(contains(black.out, "PROGRESS: 100% frame 2 job 50%\n")) << black.out;
}

}  // namespace

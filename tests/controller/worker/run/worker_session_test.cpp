// The session driver and the render run against a fake maxsim that plays the plug-in: handshake
// checks and an intruder, answered requests, a stalled and a crashed plug-in, checked files, a
// fresh maxsim, exit statuses and the summary file.
#include "controller/common/exit_status.h"
#include "controller/worker/images/image_files.h"
#include "controller/worker/display/line_display.h"
#include "controller/worker/session/plugin_session.h"
#include "controller/worker/run/render_run.h"
#include "controller/worker/session/system_environment.h"
#include "controller/worker/session/work_lock.h"

#include "node_traits.h"

#include "support/background_process.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <fstream>
#include <sstream>

namespace {

using namespace std::chrono_literals;
using worker::CommandOutcome;

/// A clock that moves a tenth of a second each time it is read: the watchdog's limit passes
/// after a fixed number of looks, unless packets keep feeding it.
class TickingClock : public worker::Clock {
 public:
  std::chrono::steady_clock::time_point now() const override { return time += 100ms; }
  mutable std::chrono::steady_clock::time_point time;
};

/// Remembers the packets of a command.
class Recorder : public worker::PacketObserver {
 public:
  void onRequest(const controller::Request& request,
                 const std::optional<std::string>& answer) override {
    packets.push_back(request.packet + (answer ? " -> " + *answer : ""));
  }
  void onReply(const std::string& reply) override { packets.push_back(reply); }
  std::vector<std::string> packets;
};

class WorkerSessionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // The drive map lives in the environment; every test starts from none (empty is none).
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
      worker::setEnvironmentVariable(std::string("MAXSIM_DRIVE_") + letter, "");
    }
    launch.maxsim = FAKE_MAXSIM;
    launch.workDir = (folder.path() / "work").string();
    outFolder = pluginNameOf(folder.path() / "r", launch) + "out\\";
    launch.answers.jobInfo["Shot"] = "sh010";
    worker::setEnvironmentVariable("FAKE_MAXSIM_RECORD", (folder.path() / "commands").string());
    mode("good");
    writtenFiles({});
  }

  void mode(const char* name) { worker::setEnvironmentVariable("FAKE_MAXSIM_MODE", name); }

  /// The files, in the folder `outFolder`, that the fake says it wrote after each frame.
  void writtenFiles(const std::vector<std::string>& names) {
    std::string list;
    for (const std::string& name : names) list += outFolder + name + ";";
    worker::setEnvironmentVariable("FAKE_MAXSIM_FILES", list);
  }

  /// Where the worker finds a file of the folder `outFolder`.
  std::string localFile(const std::string& name) const {
    return (folder.path() / "r" / "out" / name).string();
  }

  std::vector<std::string> commandsReceived() const {
    std::ifstream in(folder.path() / "commands");
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }

  /// A 4x2 Targa (the size the fake reports) or another size, at R:\out\<name>.
  void writeOutput(const std::string& name, int width = 4) {
    worker::Image image;
    image.channels = 4;
    image = image.blankLike(width, 2);
    std::filesystem::create_directories(folder.path() / "r" / "out");
    worker::writeImage(localFile(name), image);
  }

  int render(const std::vector<std::string>& extra, std::string& output) {
    std::vector<std::string> arguments = {"scene.max", "--progress", "lines"};
    arguments.insert(arguments.end(), extra.begin(), extra.end());
    worker::RenderOptions options = worker::parseRenderOptions(arguments);
    options.launch = launch;
    std::ostringstream out;
    worker::LineDisplay display(out);
    const int status = worker::runRender(options, display, out, clock);
    output = out.str();
    return status;
  }

  TempFolder folder;
  worker::LaunchOptions launch;
  /// The plug-in's name of the folder the fake's files are in.
  std::string outFolder;
  worker::SteadyClock clock;
};

/// A value as a command line carries it: backslashes doubled.
std::string escaped(const std::string& value) {
  std::string text;
  for (const char c : value) text += c == '\\' ? std::string(2, c) : std::string(1, c);
  return text;
}

TEST_F(WorkerSessionTest, DrivesACommandAnsweringItsRequests) {
  const worker::WorkerEnvironment environment = worker::prepareEnvironment(launch);
  const std::filesystem::path pluginLog = pluginLogFor(folder.path() / "work");
  EXPECT_TRUE(std::filesystem::is_directory(pluginLog.parent_path()));
  EXPECT_EQ(environment.pluginLog, pluginLog.string());
  worker::PluginSession session(environment, launch, clock);
  ASSERT_TRUE(session.start());
  EXPECT_EQ(session.versionLine(), "Moonstone 2.7.29981 Oct 29 2007 07:17:24 R");
  Recorder recorder;
  const CommandOutcome outcome = session.command("RenderTask,1", recorder, 10s);
  EXPECT_TRUE(outcome.succeeded());
  EXPECT_EQ(recorder.packets,
            (std::vector<std::string>{"STARTED", "FUNCTION: SETTITLE Rendering Image - 50.0%",
                                      "FUNCTION: PROGRESS 50 -> CONTINUE",
                                      "FUNCTION: STDOUT: hello from the scene",
                                      "FUNCTION: GETJOBINFOENTRY Shot -> SUCCESS: sh010",
                                      "FUNCTION: STDOUT: shot is SUCCESS: sh010", "SUCCESS"}));
  EXPECT_EQ(session.finish(10000), 0);
}

TEST_F(WorkerSessionTest, AWrongTokenIsCutOffUngreetedAndTheRealPluginStillGetsIn) {
  const worker::WorkerEnvironment environment = worker::prepareEnvironment(launch);
  std::vector<std::string> warnings;
  auto warn = [&warnings](const std::string& text) { warnings.push_back(text); };
  mode("intruder");
  worker::PluginSession session(environment, launch, clock);
  ASSERT_TRUE(session.start(warn));
  EXPECT_EQ(warnings,
            std::vector<std::string>{"a program connected with a wrong token; it was cut off"});
  EXPECT_EQ(session.finish(10000), 0);
  EXPECT_EQ(commandsReceived(), std::vector<std::string>{"intruder cut off"});

  // A plug-in whose token is wrong is never greeted; it gives up and maxsim ends.
  warnings.clear();
  mode("wrong-token");
  worker::PluginSession wrongToken(environment, launch, clock);
  const controller::Expected<void> refused = wrongToken.start(warn);
  ASSERT_FALSE(refused);
  EXPECT_EQ(refused.failure().kind, controller::FailureKind::Node);
  EXPECT_EQ(
      refused.failure().text.rfind("maxsim exited with status 4 before the plug-in connected", 0),
      0u)
      << refused.failure().text;
  EXPECT_EQ(warnings.size(), 1u);

  mode("bad-version");
  worker::PluginSession badVersion(environment, launch, clock);
  const controller::Expected<void> bad = badVersion.start();
  ASSERT_FALSE(bad);
  EXPECT_EQ(bad.failure().text,
            "unexpected version line from the plug-in: Moonstone 1.0 Oct 29 2007 07:17:24 R   "
            "Incompatible plugin versions detected, exiting.");
}

TEST_F(WorkerSessionTest, ReportsAMaxsimThatCannotStart) {
  launch.maxsim = (folder.path() / "no-such-maxsim").string();
  const worker::WorkerEnvironment environment = worker::prepareEnvironment(launch);
  worker::PluginSession session(environment, launch, clock);
  const controller::Expected<void> started = session.start();
  ASSERT_FALSE(started);
  EXPECT_EQ(started.failure().text,
            "cannot start " + launch.maxsim + ": " + missingProgramReason());
}

TEST_F(WorkerSessionTest, TheWatchdogEndsAStalledMaxsim) {
  mode("stall");
  const worker::WorkerEnvironment environment = worker::prepareEnvironment(launch);
  worker::PluginSession session(environment, launch, clock);
  ASSERT_TRUE(session.start());
  Recorder recorder;
  const CommandOutcome outcome = session.command("RenderTask,1", recorder, 300ms);
  EXPECT_EQ(outcome.end, CommandOutcome::End::Stalled);
  EXPECT_FALSE(outcome.succeeded());
  EXPECT_EQ(outcome.failure(),
            "stalled: the plug-in sent nothing within the stall timeout; maxsim was ended");
  EXPECT_FALSE(session.connected());
  // Ended by the watchdog itself, not later by the hang-up.
  EXPECT_FALSE(processRuns(session.maxsimPid()));
  EXPECT_EQ(session.finish(10000), statusOfAnEndedMaxsim());
}

TEST_F(WorkerSessionTest, EveryPacketFeedsTheWatchdog) {
  mode("chatty");
  const worker::WorkerEnvironment environment = worker::prepareEnvironment(launch);
  TickingClock ticking;
  worker::PluginSession session(environment, launch, ticking);
  ASSERT_TRUE(session.start());
  Recorder recorder;
  // Forty progress packets read the clock far more often than the two seconds allow in all.
  const CommandOutcome outcome = session.command("RenderTask,1", recorder, 2s);
  EXPECT_TRUE(outcome.succeeded()) << outcome.failure();
  EXPECT_EQ(session.finish(10000), 0);
}

TEST_F(WorkerSessionTest, NoticesAMaxsimThatDiesDuringACommand) {
  mode("crash");
  const worker::WorkerEnvironment environment = worker::prepareEnvironment(launch);
  worker::PluginSession session(environment, launch, clock);
  ASSERT_TRUE(session.start());
  Recorder recorder;
  const CommandOutcome outcome = session.command("RenderTask,1", recorder, 0ms);
  EXPECT_NE(outcome.end, CommandOutcome::End::Completed);
  EXPECT_EQ(outcome.maxsimStatus, 3);
  EXPECT_NE(outcome.failure().find("maxsim exited with status 3"), std::string::npos)
      << outcome.failure();
}

TEST_F(WorkerSessionTest, RendersFramesAndChecksTheirFiles) {
  writeOutput("shot0001.tga");
  writtenFiles({"shot0001.tga"});
  std::string output;
  EXPECT_EQ(render({"--frames", "1-2", "--ignore-missing-dlls", "--frame-base", "5", "--output",
                    "R:\\out\\shot.tga"},
                   output),
            0)
      << output;
  const std::string file = localFile("shot0001.tga");
  EXPECT_NE(output.find("FILE: 1 ok 4x2 " + file + "\n"), std::string::npos) << output;
  EXPECT_NE(output.find("FILE: 2 ok 4x2 " + file + "\n"), std::string::npos) << output;
  EXPECT_NE(output.find("STDOUT: 2 shot is SUCCESS: sh010\n"), std::string::npos) << output;
  EXPECT_NE(output.find("JOB: done 2/2 frames succeeded\n"), std::string::npos) << output;
  const std::string scene = std::filesystem::absolute("scene.max").lexically_normal().string();
  std::vector<std::string> expected = {"IgnoreMissingDLLs", "StartJob," + escaped(scene) + ",",
                                       "FrameNumberBase,5",
                                       "OutputImageFilename,R:\\\\out\\\\shot.tga"};
  for (const char* frame : {"1", "2"}) {
    expected.push_back(std::string("RenderTask,") + frame);
    expected.push_back(std::string("ExecuteStringScript,") + frame +
                       ",FoxgloveUtil.GetOutputFilename 0");
    expected.push_back(std::string("ExecuteStringScript,") + frame +
                       ",FoxgloveUtil.GetOutputFilename 1");
  }
  expected.push_back("EndJob");
  EXPECT_EQ(commandsReceived(), expected);
}

TEST_F(WorkerSessionTest, AFileOfTheWrongSizeFailsTheFrame) {
  writeOutput("shot0001.tga", 3);
  writtenFiles({"shot0001.tga", "missing.tga"});
  std::string output;
  EXPECT_EQ(render({"--frames", "1"}, output), 1);
  EXPECT_NE(
      output.find("FILE: 1 failed " + localFile("shot0001.tga") + ": size 3x2, expected 4x2\n"),
      std::string::npos)
      << output;
  EXPECT_NE(output.find("FILE: 1 failed " + localFile("missing.tga") + ": does not decode"),
            std::string::npos)
      << output;
  EXPECT_NE(output.find("FAILED: 1 "), std::string::npos) << output;
  EXPECT_NE(output.find("NOTE: plug-in log: "), std::string::npos) << output;
}

TEST_F(WorkerSessionTest, AFreshMaxsimTakesTheFramesAfterACrash) {
  mode("crash");
  std::string output;
  EXPECT_EQ(render({"--frames", "1,2"}, output), 1);
  EXPECT_NE(output.find("FAILED: 1 "), std::string::npos) << output;
  EXPECT_NE(output.find("FAILED: 2 "), std::string::npos) << output;
  // Each session keeps its own maxsim output, named on the frame's lines.
  const std::filesystem::path logs = folder.path() / "work" / "logs";
  EXPECT_NE(output.find(
                "ERROR: 1 maxsim output: " + (logs / "run-1-session-1-maxsim.log").string() + "\n"),
            std::string::npos)
      << output;
  EXPECT_NE(output.find(
                "ERROR: 2 maxsim output: " + (logs / "run-1-session-2-maxsim.log").string() + "\n"),
            std::string::npos)
      << output;
  const std::vector<std::string> commands = commandsReceived();
  EXPECT_EQ(std::count_if(commands.begin(), commands.end(),
                          [](const std::string& line) { return line.rfind("StartJob,", 0) == 0; }),
            2);
}

TEST_F(WorkerSessionTest, ARegionFileMustHaveTheRegionsSize) {
  writeOutput("shot0001.tga", 3);
  writtenFiles({"shot0001.tga"});
  std::string output;
  EXPECT_EQ(render({"--frames", "1", "--region", "1,0,4,2"}, output), controller::allFramesDone)
      << output;
  EXPECT_EQ(render({"--frames", "1", "--region", "0,0,4,2"}, output), controller::someFramesFailed);
  EXPECT_NE(output.find("size 3x2, expected 4x2"), std::string::npos) << output;
}

TEST_F(WorkerSessionTest, AFileWhoseFormatDiffersFromItsExtensionFails) {
  writeOutput("shot0001.tga");
  std::filesystem::rename(localFile("shot0001.tga"), localFile("shot0001.png"));
  writtenFiles({"shot0001.png"});
  std::string output;
  EXPECT_EQ(render({"--frames", "1"}, output), controller::someFramesFailed);
  EXPECT_NE(output.find("FILE: 1 failed " + localFile("shot0001.png") +
                        ": holds Targa data but is named as PNG\n"),
            std::string::npos)
      << output;
}

/// Each way a run ends has its exit status, and the summary file lists every frame.
TEST_F(WorkerSessionTest, ExitStatusesAndTheSummaryFile) {
  const std::string summaryFile = (folder.path() / "summary.json").string();
  auto summary = [&summaryFile] {
    std::ifstream in(summaryFile);
    return nlohmann::json::parse(in);
  };
  writeOutput("shot0001.tga");
  writtenFiles({"shot0001.tga"});
  std::string output;
  ASSERT_EQ(render({"--frames", "1-2", "--summary-json", summaryFile}, output),
            controller::allFramesDone)
      << output;
  nlohmann::json done = summary();
  EXPECT_EQ(done["exit_code"], 0);
  EXPECT_EQ(done["frames_spec"], "1-2");
  EXPECT_TRUE(done["job_error"].is_null());
  ASSERT_EQ(done["frames"].size(), 2u);
  const nlohmann::json& file = done["frames"][0]["files"][0];
  EXPECT_EQ(file["path"], outFolder + "shot0001.tga");
  EXPECT_EQ(file["local_path"], localFile("shot0001.tga"));
  EXPECT_EQ(file["width"], 4);
  EXPECT_EQ(file["height"], 2);
  EXPECT_EQ(file["bytes"], std::filesystem::file_size(file["local_path"].get<std::string>()));
  EXPECT_EQ(done["frames"][1]["status"], "done");
  EXPECT_FALSE(std::filesystem::exists(summaryFile + ".tmp"));

  struct Case {
    const char* mode;
    int status;
    const char* jobError;
  };
  for (const Case& c : {Case{"bad-scene", controller::jobIsBad, "\nInvalid max file: scene.max"},
                        Case{"crash", controller::someFramesFailed, nullptr}}) {
    mode(c.mode);
    EXPECT_EQ(render({"--frames", "3,1-2", "--summary-json", summaryFile}, output), c.status)
        << c.mode << "\n"
        << output;
    const nlohmann::json ran = summary();
    EXPECT_EQ(ran["exit_code"], c.status);
    EXPECT_EQ(ran["job_error"].is_null(), c.jobError == nullptr);
    if (c.jobError) {
      // The worker's own words (the scene does not exist) come first, then the plug-in's reply.
      const std::string error = ran["job_error"];
      EXPECT_EQ(error.rfind("StartJob failed: the scene ", 0), 0u) << error;
      EXPECT_NE(error.find(std::string(" does not exist") + c.jobError), std::string::npos)
          << error;
    }
    ASSERT_EQ(ran["frames"].size(), 3u) << c.mode;
    for (size_t i = 0; i < 3; ++i) {
      EXPECT_EQ(ran["frames"][i]["frame"], std::vector<int>({3, 1, 2})[i]);
      EXPECT_EQ(ran["frames"][i]["status"], c.jobError ? "not_rendered" : "failed");
    }
  }
  EXPECT_NE(output.find("maxsim exited with status 3"), std::string::npos) << output;

  mode("good");
  {
    worker::WorkFolderLock held(launch.workDir);
    EXPECT_EQ(render({"--frames", "1", "--summary-json", summaryFile}, output),
              controller::nodeIsBad);
    EXPECT_NE(output.find("ERROR: job the work folder " + launch.workDir +
                          " is in use by another worker"),
              std::string::npos)
        << output;
    EXPECT_EQ(summary()["frames"][0]["status"], "not_rendered");
  }
  launch.maxsim = (folder.path() / "no-such-maxsim").string();
  EXPECT_EQ(render({"--frames", "1"}, output), controller::nodeIsBad);
  EXPECT_NE(output.find("ERROR: job cannot start " + launch.maxsim), std::string::npos) << output;
  EXPECT_NE(output.find("FAILED: 1 0.00s not rendered: cannot start"), std::string::npos) << output;
}

}  // namespace

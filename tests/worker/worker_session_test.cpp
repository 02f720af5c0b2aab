// The session driver and the render run against a fake maxsim that plays the plug-in: handshake
// checks, answered requests, a stalled and a crashed plug-in, checked files, a fresh maxsim.
#include "controller/worker/image_files.h"
#include "controller/worker/plugin_session.h"
#include "controller/worker/render_run.h"

#include "support/message_of.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

using namespace std::chrono_literals;
using worker::CommandOutcome;

/// Remembers the packets of a command.
class Recorder : public worker::PacketObserver {
 public:
  void onRequest(const std::string& request, const std::optional<std::string>& answer) override {
    packets.push_back(request + (answer ? " -> " + *answer : ""));
  }
  void onReply(const std::string& reply) override { packets.push_back(reply); }
  std::vector<std::string> packets;
};

class WorkerSessionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // The drive map lives in the environment; every test starts from none.
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
      unsetenv((std::string("MAXSIM_DRIVE_") + letter).c_str());
    }
    launch.maxsim = FAKE_MAXSIM;
    launch.workDir = (folder.path() / "work").string();
    launch.drives['R'] = (folder.path() / "r").string();
    launch.answers.jobInfo["Shot"] = "sh010";
    setenv("FAKE_MAXSIM_RECORD", (folder.path() / "commands").c_str(), 1);
    mode("good");
    setenv("FAKE_MAXSIM_FILES", "", 1);
  }

  void mode(const char* name) { setenv("FAKE_MAXSIM_MODE", name, 1); }

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
    worker::writeImage((folder.path() / "r" / "out" / name).string(), image);
  }

  int render(const std::vector<std::string>& extra, std::string& output) {
    std::vector<std::string> arguments = {"scene.max", "--progress", "lines"};
    arguments.insert(arguments.end(), extra.begin(), extra.end());
    worker::RenderOptions options = worker::parseRenderOptions(arguments);
    options.launch = launch;
    std::ostringstream out;
    worker::ProgressDisplay display(out, false);
    const int status = worker::runRender(options, display, out, clock);
    output = out.str();
    return status;
  }

  TempFolder folder;
  worker::LaunchOptions launch;
  worker::SteadyClock clock;
};

TEST_F(WorkerSessionTest, DrivesACommandAnsweringItsRequests) {
  const worker::WorkerEnvironment environment = worker::prepareEnvironment(launch);
  EXPECT_TRUE(
      std::filesystem::is_directory(folder.path() / "work" / "drive_c" / "Foxglove" / "logs"));
  EXPECT_EQ(
      environment.pluginLog,
      (folder.path() / "work" / "drive_c" / "Foxglove" / "logs" / "3zerorEzuridu.log").string());
  worker::PluginSession session(environment, launch, clock);
  session.start();
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

TEST_F(WorkerSessionTest, RefusesAWrongTokenOrVersion) {
  const worker::WorkerEnvironment environment = worker::prepareEnvironment(launch);
  mode("wrong-token");
  worker::PluginSession wrongToken(environment, launch, clock);
  EXPECT_EQ(messageOf<worker::SessionError>([&] { wrongToken.start(); }),
            "the program that connected sent a wrong token");
  mode("bad-version");
  worker::PluginSession badVersion(environment, launch, clock);
  EXPECT_EQ(messageOf<worker::SessionError>([&] { badVersion.start(); }),
            "unexpected version line from the plug-in: Moonstone 1.0 Oct 29 2007 07:17:24 R   "
            "Incompatible plugin versions detected, exiting.");
}

TEST_F(WorkerSessionTest, ReportsAMaxsimThatCannotStart) {
  launch.maxsim = (folder.path() / "no-such-maxsim").string();
  const worker::WorkerEnvironment environment = worker::prepareEnvironment(launch);
  worker::PluginSession session(environment, launch, clock);
  EXPECT_EQ(messageOf<worker::SessionError>([&] { session.start(); }),
            "cannot start " + launch.maxsim + ": No such file or directory");
}

TEST_F(WorkerSessionTest, TheWatchdogEndsAStalledMaxsim) {
  mode("stall");
  const worker::WorkerEnvironment environment = worker::prepareEnvironment(launch);
  worker::PluginSession session(environment, launch, clock);
  session.start();
  Recorder recorder;
  const CommandOutcome outcome = session.command("RenderTask,1", recorder, 300ms);
  EXPECT_EQ(outcome.end, CommandOutcome::End::Stalled);
  EXPECT_FALSE(outcome.succeeded());
  EXPECT_EQ(outcome.failure(),
            "stalled: the plug-in sent nothing within the stall timeout; maxsim was ended");
  EXPECT_FALSE(session.connected());
  EXPECT_EQ(session.finish(10000), 128 + SIGTERM);
}

TEST_F(WorkerSessionTest, NoticesAMaxsimThatDiesDuringACommand) {
  mode("crash");
  const worker::WorkerEnvironment environment = worker::prepareEnvironment(launch);
  worker::PluginSession session(environment, launch, clock);
  session.start();
  Recorder recorder;
  const CommandOutcome outcome = session.command("RenderTask,1", recorder, 0ms);
  EXPECT_NE(outcome.end, CommandOutcome::End::Completed);
  EXPECT_EQ(outcome.maxsimStatus, 3);
}

TEST_F(WorkerSessionTest, RendersFramesAndChecksTheirFiles) {
  writeOutput("shot0001.tga");
  setenv("FAKE_MAXSIM_FILES", "R:\\out\\shot0001.tga", 1);
  std::string output;
  EXPECT_EQ(render({"--frames", "1-2", "--ignore-missing-dlls", "--frame-base", "5", "--output",
                    "R:\\out\\shot.tga"},
                   output),
            0)
      << output;
  const std::string file = (folder.path() / "r" / "out" / "shot0001.tga").string();
  EXPECT_NE(output.find("FILE: 1 ok 4x2 " + file + "\n"), std::string::npos) << output;
  EXPECT_NE(output.find("FILE: 2 ok 4x2 " + file + "\n"), std::string::npos) << output;
  EXPECT_NE(output.find("STDOUT: 2 shot is SUCCESS: sh010\n"), std::string::npos) << output;
  EXPECT_NE(output.find("JOB: done 2/2 frames succeeded\n"), std::string::npos) << output;
  const std::string scene = std::filesystem::absolute("scene.max").lexically_normal().string();
  std::vector<std::string> expected = {"IgnoreMissingDLLs", "StartJob," + scene + ",",
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
  setenv("FAKE_MAXSIM_FILES", "R:\\out\\shot0001.tga;R:\\out\\missing.tga", 1);
  std::string output;
  EXPECT_EQ(render({"--frames", "1"}, output), 1);
  const std::string file = (folder.path() / "r" / "out" / "shot0001.tga").string();
  EXPECT_NE(output.find("FILE: 1 failed " + file + ": size 3x2, expected 4x2\n"), std::string::npos)
      << output;
  EXPECT_NE(output.find("FILE: 1 failed " + (folder.path() / "r" / "out" / "missing.tga").string() +
                        ": does not decode"),
            std::string::npos)
      << output;
  EXPECT_NE(output.find("FRAME: 1 failed "), std::string::npos) << output;
  EXPECT_NE(output.find("NOTE: plug-in log: "), std::string::npos) << output;
}

TEST_F(WorkerSessionTest, AFreshMaxsimTakesTheFramesAfterACrash) {
  mode("crash");
  std::string output;
  EXPECT_EQ(render({"--frames", "1,2"}, output), 1);
  EXPECT_NE(output.find("FRAME: 1 failed "), std::string::npos) << output;
  EXPECT_NE(output.find("FRAME: 2 failed "), std::string::npos) << output;
  const std::vector<std::string> commands = commandsReceived();
  EXPECT_EQ(std::count_if(commands.begin(), commands.end(),
                          [](const std::string& line) { return line.rfind("StartJob,", 0) == 0; }),
            2);
}

}  // namespace

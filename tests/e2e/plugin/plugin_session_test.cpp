// The whole plug-in end to end: maxsim loads moonstone.dlx, a start-up script starts the daemon,
// and a controller on loopback drives it.
#include "support/maxsim_session.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;
using Transcript = controller::Transcript;
using PluginSession = MaxsimSession;

TEST_F(PluginSession, AHangUpEndsTheSessionAndTheScriptGetsTrue) {
  connect();
  const ProcessResult ended = finish();
  EXPECT_EQ(ended.status, 0) << ended.err;
  EXPECT_EQ(ended.out, "true\n");
  const std::string log = logText();
  EXPECT_NE(log.find("running daemon...\n"), std::string::npos) << log;
  EXPECT_NE(log.find("Returning TRUE\n"), std::string::npos);
}

TEST_F(PluginSession, AWholeJobRendersItsFramesToDisk) {
  connect();
  const Transcript started = startJobOn(example("animated.max"), "Camera01");
  ASSERT_EQ(started.size(), 1u) << started.front();
  EXPECT_EQ(started[0],
            "SUCCESS [filename] R:\\animated\\animated.tga\n[format] Targa Image File\n"
            "[size] 160x120\n[aspect] 1\n");
  for (int frame = 1; frame <= 3; ++frame) {
    const Transcript rendered = controller.command("RenderTask," + std::to_string(frame), waitMs);
    EXPECT_EQ(rendered.front(), "STARTED");
    EXPECT_EQ(rendered.back(), "SUCCESS");
    bool sawProgress = false;
    for (const std::string& packet : rendered) {
      sawProgress = sawProgress || packet.rfind("FUNCTION: PROGRESS ", 0) == 0;
    }
    EXPECT_TRUE(sawProgress);
    char number[8];
    std::snprintf(number, sizeof(number), "%04d", frame);
    EXPECT_TRUE(
        fs::exists(output.path() / "animated" / (std::string("animated") + number + ".tga")));
    EXPECT_TRUE(fs::exists(output.path() / "animated" / "elements" /
                           (std::string("animated_alpha") + number + ".tga")));
  }
  EXPECT_EQ(controller.command("EndJob", waitMs), Transcript{"SUCCESS"});
  EXPECT_EQ(finish().out, "true\n");
  const std::string log = logText();
  EXPECT_NE(log.find("\nGot command: RenderTask,2\n"), std::string::npos);
  EXPECT_LT(log.find("StartJob begin"), log.find("Renderframe 1"));
}

TEST_F(PluginSession, AFailedStartJobIsAnsweredByItsErrorThenSuccess) {
  connect();
  const Transcript reply = startJobOn(scene("bad.txt", "not a scene"));
  ASSERT_EQ(reply.size(), 2u);
  EXPECT_EQ(reply[0].rfind("ERROR: Invalid max file: \"", 0), 0u) << reply[0];
  EXPECT_EQ(reply[1].rfind("SUCCESS [filename] ", 0), 0u);
  finish();
}

TEST_F(PluginSession, ARendererCrashIsTrappedAndTheNextFrameRenders) {
  const std::string crashing = scene("crash.max", R"json({"format": "moonstone-scene",
      "render": {"width": 32, "height": 24, "output": "R:\\crash\\f.tga"},
      "faults": [{"kind": "access_violation", "frame": 2}]})json");
  connect();
  startJobOn(crashing);
  const Transcript crashed = controller.command("RenderTask,2", waitMs);
  ASSERT_GE(crashed.size(), 3u);
  EXPECT_EQ(crashed.front(), "STARTED");
  const std::string& trapped = crashed[crashed.size() - 2];
  EXPECT_EQ(trapped.rfind("ERROR: Trapped SEH Exception in CurRendererRenderFrame(): Access "
                          "Violation\n",
                          0),
            0u)
      << trapped;
  EXPECT_NE(trapped.find("\nProcess:  "), std::string::npos);
  EXPECT_EQ(crashed.back(), "ERROR: Failed to save file.");
  EXPECT_EQ(controller.command("RenderTask,3", waitMs).back(), "SUCCESS");
  EXPECT_TRUE(fs::exists(output.path() / "crash" / "f0003.tga"));
  finish();
}

TEST_F(PluginSession, ScriptTextsAnswerStringsAndScriptErrorsEndTheSession) {
  connect();
  EXPECT_EQ(controller.command("ExecuteStringScript,0,1+1", waitMs),
            (Transcript{"STARTED", "ERROR: Script did not return a string: 2"}));
  EXPECT_EQ(controller.command("ExecuteStringScript,0,\"\\\"a\\\" + \\\"b\\\"\"", waitMs),
            (Transcript{"STARTED", "SUCCESS: ab"}));
  EXPECT_EQ(
      controller.command("ExecuteStringScript,0,throw \\\"broken\\\"", waitMs),
      (Transcript{"STARTED", "ERROR: Exception caught in 3ds max: -- Runtime error: broken"}));
  host.join();
  EXPECT_EQ(result.out, "false\n");
}

TEST_F(PluginSession, ScriptsTalkToTheControllerThroughFoxgloveUtil) {
  controller.answers.jobInfo["Name"] = "shot 12, take 3";
  controller.answers.submitElements["Items"] = {"a", "b", "c"};
  const std::string script = scene("talk.ms",
                                   "FoxgloveUtil.SetTitle \"busy\"\n"
                                   "FoxgloveUtil.LogMessage \"hello\"\n"
                                   "ok1 = FoxgloveUtil.SetProgress 50.0\n"
                                   "n = FoxgloveUtil.GetJobInfoEntry \"Name\"\n"
                                   "c = FoxgloveUtil.GetSubmitInfoEntryElementCount \"Items\"\n"
                                   "e = FoxgloveUtil.GetSubmitInfoEntryElement 1 \"Items\"\n"
                                   "m = FoxgloveUtil.GetJobInfoEntry \"Missing\"\n"
                                   "again = FoxgloveUtil.RunMoonstoneDaemon 1 \"t\"\n"
                                   "ok1 and n == \"shot 12, take 3\" and c == 3 and e == \"b\" and "
                                   "m == undefined and again == false and "
                                   "FoxgloveUtil.CurrentFrame == 4");
  connect();
  const Transcript transcript =
      controller.command(controller::commandLine({"ExecuteScript", "4", script}), waitMs);
  EXPECT_EQ(transcript, (Transcript{"STARTED", "FUNCTION: SETTITLE busy", "FUNCTION: STDOUT: hello",
                                    "FUNCTION: PROGRESS 50", "FUNCTION: GETJOBINFOENTRY Name",
                                    "FUNCTION: GETSUBMITINFOENTRYELEMENTCOUNT Items",
                                    "FUNCTION: GETSUBMITINFOENTRYELEMENT 1,Items",
                                    "FUNCTION: GETJOBINFOENTRY Missing", "SUCCESS"}));
  // The refused second daemon is told on the listener and in the log.
  EXPECT_EQ(finish().out,
            "RunMoonstoneDaemon() was executed while the daemon is already running.\ntrue\n");
  EXPECT_NE(
      logText().find("RunMoonstoneDaemon() was executed while the daemon is already running."),
      std::string::npos);
}

TEST_F(PluginSession, SceneScriptsTalkToTheControllerInTheMiddleOfARender) {
  const std::string talking = scene("talk.max", R"json({"format": "moonstone-scene",
      "render": {"width": 32, "height": 24, "output": "R:\\talk\\f.tga"},
      "scripts": [{"text": "FoxgloveUtil.LogMessage (FoxgloveUtil.GetJobInfoEntry \"Shot\")", "row": 12}]})json");
  controller.answers.jobInfo["Shot"] = "S12";
  connect();
  startJobOn(talking);
  const Transcript rendered = controller.command("RenderTask,1", waitMs);
  EXPECT_EQ(rendered.front(), "STARTED");
  EXPECT_EQ(rendered.back(), "SUCCESS");
  const auto at = [&rendered](const std::string& packet) {
    return std::find(rendered.begin(), rendered.end(), packet) - rendered.begin();
  };
  EXPECT_LT(at("FUNCTION: GETJOBINFOENTRY Shot"), at("FUNCTION: STDOUT: S12"));
  EXPECT_LT(at("FUNCTION: STDOUT: S12"), static_cast<long>(rendered.size()) - 1);
  finish();
}

TEST_F(PluginSession, AWrongGreetingEndsTheSessionWithTheHandshakeError) {
  start(controller.port());
  controller.accept(waitMs);
  const auto [token, reply] = controller.handshake(waitMs, "Hello");
  EXPECT_NE(reply.find("   Incompatible plugin versions detected, exiting."), std::string::npos);
  EXPECT_EQ(controller.receive(waitMs),
            "ERROR: Exception caught in 3ds max: Incorrect handshake with Foxglove plugin.");
  host.join();
  EXPECT_EQ(result.out, "false\n");
}

TEST_F(PluginSession, NothingListeningMakesTheDaemonReturnFalse) {
  const int port = controller.port();
  controller.hangUp();
  start(port);
  host.join();
  EXPECT_EQ(result.out, "false\n");
  EXPECT_NE(logText().find("Exception: connect: Failed to connect to server at port " +
                           std::to_string(port)),
            std::string::npos);
}

}  // namespace

// The command set against a controller on loopback: argument checks, replies, option commands.
#include "session/command_set.h"

#include "controller/link/command_line.h"
#include "controller/link/controller_link.h"
#include "support/log_capture.h"
#include "support/message_of.h"
#include "support/temp_folder.h"

#include <max.h>

#include <maxapi.h>

#include <boost/tokenizer.hpp>
#include <gtest/gtest.h>

#include <fstream>

namespace {

using namespace moonstone;
using tangram::win32::simple_socket;
using tangram::win32::simple_socket_timeout_error;
using Replies = std::vector<std::string>;

const int waitMs = 10000;

class CommandSetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    plugin.connect("127.0.0.1", controller.port());
    controller.accept(waitMs);
  }

  /// Serves the line and returns every packet it sent (the command set is synchronous, so they
  /// have all arrived when it returns).
  Replies run(const std::string& line) {
    dispatchCommand(job, line, plugin);
    Replies replies;
    for (;;) {
      try {
        replies.push_back(controller.receive(0));
      } catch (const simple_socket_timeout_error&) {
        return replies;
      }
    }
  }

  LogCapture log;
  controller::ControllerLink controller;
  simple_socket plugin;
  RenderJob job;
};

TEST_F(CommandSetTest, RenderTaskChecksItsArgumentsAndTheJob) {
  struct Case {
    const char* line;
    const char* reply;
  };
  const Case cases[] = {
      {"RenderTask", "ERROR: RenderTask: Expected 1 parameter, got 0"},
      {"RenderTask,1,2", "ERROR: RenderTask: Expected 1 parameter, got 2"},
      {"RenderTask,5,", "ERROR: RenderTask: Expected 1 parameter, got 2"},
      {"RenderTask,x", "ERROR: RenderTask: Parameter 1 , \"x\", is not a valid frame number."},
      {"RenderTask, 5", "ERROR: RenderTask: Parameter 1 , \" 5\", is not a valid frame number."},
      {"RenderTask,7", "ERROR: RenderTask: Called without being in a job."},
  };
  for (const Case& c : cases) EXPECT_EQ(run(c.line), Replies{c.reply}) << c.line;
  EXPECT_EQ(job.currentFrame, 7);  // stored before the job test
}

TEST_F(CommandSetTest, UnknownWordsAndEmptyLinesAreUnexpected) {
  EXPECT_EQ(run("Rendertask,5"), Replies{"ERROR: Unexpected command \"Rendertask\" received."});
  EXPECT_EQ(run(""), Replies{"ERROR: Unexpected command \"\" received."});
  EXPECT_EQ(run("CONTINUE"), Replies{});
  EXPECT_NE(log.text().find("Warning: ignoring CONTINUE statement\n"), std::string::npos);
}

TEST_F(CommandSetTest, EveryLineIsLoggedWithItsFields) {
  run("FrameNumberBase,\"10\"");
  EXPECT_NE(log.text().find("Command: FrameNumberBase,\"10\"\nFrameNumberBase\n10\n\n"),
            std::string::npos)
      << log.text();
}

TEST_F(CommandSetTest, JobCommandsAnswerTheirOperationsErrorsAndThenTheirFinalReply) {
  EXPECT_EQ(run("StartJob,scene.max"), Replies{"ERROR: StartJob: Expected 2 parameters, got 1"});
  EXPECT_FALSE(job.jobRunning);
  EXPECT_EQ(run("EndJob,ignored"),
            (Replies{"ERROR: EndJob called when consistency check flag jobRunning was not set",
                     "SUCCESS"}));
  const Replies started = run("StartJob,/no/such/scene.json,");
  ASSERT_EQ(started.size(), 2u);
  EXPECT_EQ(started[0], "ERROR: Invalid max file: \"/no/such/scene.json\"");
  EXPECT_EQ(started[1].rfind("SUCCESS [filename] ", 0), 0u) << started[1];
}

TEST_F(CommandSetTest, FrameNumberBaseIsSetSilentlyOrRefusedWithAReply) {
  EXPECT_EQ(run("FrameNumberBase"), Replies{"ERROR: FrameNumberBase: Expected 1 parameter, got 0"});
  EXPECT_EQ(run("FrameNumberBase,abc"),
            Replies{"ERROR: FrameNumberBase: Parameter 1, \"abc\", is not a valid value for frame "
                    "number base."});
  EXPECT_EQ(run("FrameNumberBase,1000"), Replies{});
  EXPECT_EQ(job.frameNumberBase, 1000);
}

TEST_F(CommandSetTest, RegionRenderingAppliesEachNumberUntilOneFails) {
  EXPECT_EQ(run("RegionRendering,8,100,100,200"),
            Replies{"ERROR: RegionRendering: Expected 5 parameters, got 4"});
  EXPECT_FALSE(job.regionRendering);
  EXPECT_EQ(run("RegionRendering,8,100,x,200,150"),
            Replies{"ERROR: RegionRendering: Parameter 3, \"x\", is not a valid value for Top."});
  EXPECT_TRUE(job.regionRendering);
  EXPECT_EQ(job.regionPadding, 8);
  EXPECT_EQ(job.regionRect.left, 92);
}

TEST_F(CommandSetTest, OptionCommandsSwitchTheirOptionsWithoutAReply) {
  EXPECT_EQ(run("UseJpegOutput,c:\\\\previews\\\\"), Replies{});
  EXPECT_TRUE(job.useJpegOutput);
  EXPECT_EQ(job.jpegOutputPath, "c:\\previews\\");
  EXPECT_EQ(run("UseJpegOutput"), Replies{});
  EXPECT_FALSE(job.useJpegOutput);
  EXPECT_NE(log.text().find("UseJpegOutput: requires 1 parameters, got 0, setting to false\n"),
            std::string::npos);

  EXPECT_EQ(run("OutputImageFilename,d:\\\\out\\\\tile.exr"), Replies{});
  EXPECT_TRUE(job.useOutputImageFilename);
  EXPECT_EQ(job.outputImageFilename, "d:\\out\\tile.exr");
  EXPECT_EQ(run("OutputImageFilename,a,b"), Replies{});
  EXPECT_FALSE(job.useOutputImageFilename);

  for (const char* word :
       {"RestartRendererMode", "HideFrameBuffer", "IgnoreMissingExternalFiles", "IgnoreMissingUVWs",
        "IgnoreMissingDLLs", "IgnoreMissingXREFs", "RemovePadding", "AlphaSplit"}) {
    EXPECT_EQ(run(std::string(word) + ",extra"), Replies{}) << word;
  }
  job.showFrameBuffer = true;
  run("HideFrameBuffer");
  EXPECT_FALSE(job.showFrameBuffer);
  EXPECT_TRUE(job.restartRenderer && job.ignoreMissingExternalFiles && job.ignoreMissingUVWs &&
              job.ignoreMissingDLLs && job.ignoreMissingXREFs && job.removePadding &&
              job.alphaSplit);
}

TEST_F(CommandSetTest, FailOnBlackFramesClampsAndKeepsWhatDoesNotConvert) {
  run("FailOnBlackFrames,150,2.5");
  EXPECT_TRUE(job.failOnBlackFrames);
  EXPECT_EQ(job.blackPixelPercentage, 100);
  EXPECT_EQ(job.blackPixelThreshold, 1.0f);
  run("FailOnBlackFrames,-3,-1");
  EXPECT_EQ(job.blackPixelPercentage, 0);
  EXPECT_EQ(job.blackPixelThreshold, 0.0f);
  job.blackPixelPercentage = 40;
  EXPECT_EQ(run("FailOnBlackFrames,abc,0.5"), Replies{});
  EXPECT_EQ(job.blackPixelPercentage, 40);
  EXPECT_EQ(job.blackPixelThreshold, 0.5f);
  EXPECT_TRUE(job.failOnBlackFrames);
  EXPECT_NE(
      log.text().find("FailOnBlackFrames: Parameter 1, \"abc\", is not a valid percentage.\n"),
      std::string::npos);
  // A NaN threshold would let no pixel count as black: it is refused like any unreadable value.
  run("FailOnBlackFrames,60,nan");
  EXPECT_EQ(job.blackPixelPercentage, 60);
  EXPECT_EQ(job.blackPixelThreshold, 0.5f);
  EXPECT_NE(log.text().find("FailOnBlackFrames: Parameter 2, \"nan\", is not a valid threshold.\n"),
            std::string::npos);
  run("FailOnBlackFrames,50");
  EXPECT_FALSE(job.failOnBlackFrames);
}

TEST_F(CommandSetTest, ScriptCommandsNeedAFrameAndAScript) {
  EXPECT_EQ(run("ExecuteScript,1"), Replies{"ERROR: ExecuteScript: Expected 2 parameters, got 1"});
  EXPECT_EQ(run("ExecuteStringScript"),
            Replies{"ERROR: ExecuteStringScript: Expected 2 parameters, got 0"});
  EXPECT_EQ(run("ExecuteStringScript,x,1"),
            Replies{"ERROR: ExecuteScript: Parameter 1 , \"x\", is not a valid frame number."});
}

TEST_F(CommandSetTest, ScriptTextsAnswerTheirStringResult) {
  EXPECT_EQ(run("ExecuteStringScript,0,1+1"),
            (Replies{"STARTED", "ERROR: Script did not return a string: 2"}));
  EXPECT_EQ(run("ExecuteStringScript,3,\"\\\"ab\\\" + \\\"c\\\"\""),
            (Replies{"STARTED", "SUCCESS: abc"}));
  EXPECT_EQ(job.currentFrame, 3);
}

TEST_F(CommandSetTest, ScriptFilesAnswerSuccessForTrueOrOkAndCanSetTheTime) {
  TempFolder folder;
  auto script = [&folder](const std::string& name, const std::string& text) {
    std::ofstream(folder.path() / name) << text;
    return (folder.path() / name).string();
  };
  // The file's name as the controller sends it: escaped, since a Windows name has backslashes.
  auto command = [](std::vector<std::string> fields) { return controller::commandLine(fields); };
  EXPECT_EQ(run(command({"ExecuteScript", "1", script("true.ms", "1 == 1")})),
            (Replies{"STARTED", "SUCCESS"}));
  EXPECT_EQ(run(command({"ExecuteScript", "1", script("ok.ms", "")})),
            (Replies{"STARTED", "SUCCESS"}));
  EXPECT_EQ(run(command({"ExecuteScript", "1", script("false.ms", "false")})),
            (Replies{"STARTED", "ERROR: Script did not return success: false"}));

  GetCOREInterface()->SetTime(0, FALSE);
  run(command({"ExecuteScript", "10", script("time.ms", "true"), "SetTime"}));
  EXPECT_EQ(GetCOREInterface()->GetTime(), 0);
  run(command({"ExecuteScript", "10", script("time.ms", "true"), "setTime", "more"}));
  EXPECT_EQ(GetCOREInterface()->GetTime(), 10 * GetTicksPerFrame());
  EXPECT_NE(
      log.text().find("Set Time to 10\nGetTime(): " + std::to_string(10 * GetTicksPerFrame())),
      std::string::npos);
}

TEST_F(CommandSetTest, ErrorsOutsideTheJobOperationsLeaveTheCommandSet) {
  EXPECT_EQ(messageOf<boost::escaped_list_error>([&] { run("ExecuteScript,1,c:\\s.ms"); }),
            "unknown escape sequence");
  EXPECT_EQ(messageOf<std::runtime_error>([&] { run("ExecuteStringScript,0,throw \\\"bad\\\""); }),
            "-- Runtime error: bad");
}

}  // namespace

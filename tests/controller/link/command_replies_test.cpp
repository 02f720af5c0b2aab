// Which reply ends each command, including failed ones that end early.
#include "controller/link/command_replies.h"

#include <gtest/gtest.h>

namespace {

using controller::CommandReplies;

/// The index of the reply that ends the command, or -1 when none does.
int finalIndex(const std::string& line, const std::vector<std::string>& replies) {
  CommandReplies tracker(line);
  for (size_t i = 0; i < replies.size(); ++i) {
    if (tracker.isFinal(replies[i])) return static_cast<int>(i);
  }
  return -1;
}

TEST(CommandRepliesTest, KnowsTheLastReplyOfEachCommand) {
  struct Case {
    std::string line;
    std::vector<std::string> replies;
    int last;
  };
  const Case cases[] = {
      {"RenderTask,1", {"STARTED", "SUCCESS"}, 1},
      {"RenderTask,1",
       {"STARTED", "ERROR: 100% of the output image is black", "ERROR: Failed to save file."},
       2},
      {"RenderTask,1", {"ERROR: RenderTask: Called without being in a job."}, 0},
      {"RenderTask,1",
       {"STARTED", "ERROR: Trapped SEH Exception in RenderFrame(): Access Violation\nreport",
        "ERROR: Failed to save file."},
       2},
      {"StartJob,a.max,", {"SUCCESS [filename] x\n"}, 0},
      {"StartJob,a.max,", {"ERROR: Failed to load", "SUCCESS [filename] \n"}, 1},
      {"StartJob,a.max", {"ERROR: StartJob: Expected 2 parameters, got 1"}, 0},
      {"EndJob", {"ERROR: Trapped", "SUCCESS"}, 1},
      {"ExecuteStringScript,0,1+1", {"STARTED", "ERROR: Script did not return a string: 2"}, 1},
      {"ExecuteStringScript,x,1",
       {"ERROR: ExecuteScript: Parameter 1 , \"x\", is not a valid frame number."},
       0},
      {"ExecuteScript,0,a.ms", {"STARTED", "SUCCESS"}, 1},
      {"Rendertask,1", {"ERROR: Unexpected command \"Rendertask\" received."}, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(finalIndex(c.line, c.replies), c.last) << c.line;
}

TEST(CommandRepliesTest, OptionCommandsExpectNoReply) {
  for (const char* line : {"FrameNumberBase,5", "UseJpegOutput,C:\\p\\", "AlphaSplit",
                           "RegionRendering,0,0,0,1,1", "IgnoreMissingXREFs", "CONTINUE"}) {
    EXPECT_FALSE(CommandReplies(line).expectsReply()) << line;
  }
  for (const char* line : {"RenderTask,1", "StartJob,a,b", "EndJob", "Bogus"}) {
    EXPECT_TRUE(CommandReplies(line).expectsReply()) << line;
  }
}

}  // namespace

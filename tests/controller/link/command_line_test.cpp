// Command lines built by the worker come apart in the plug-in into exactly the fields given.
#include "controller/link/command_line.h"

#include "session/command_line.h"

#include <gtest/gtest.h>

namespace {

TEST(WorkerCommandLineTest, FieldsSurviveThePluginsSplitting) {
  const std::vector<std::vector<std::string>> cases = {
      {"RenderTask", "12"},
      {"StartJob", "C:\\scenes\\shot 1.max", ""},
      {"OutputImageFilename", "R:\\out\\a,b.tga"},
      {"ExecuteStringScript", "3", "print \"x\\y\"\nok"},
      {"UseJpegOutput", "C:\\previews\\"},
  };
  for (const auto& fields : cases) {
    EXPECT_EQ(moonstone::splitCommandLine(controller::commandLine(fields)), fields)
        << controller::commandLine(fields);
  }
}

TEST(WorkerCommandLineTest, PlainFieldsAreJoinedByCommasUnchanged) {
  EXPECT_EQ(controller::commandLine({"RegionRendering", "8", "0", "0", "80", "60"}),
            "RegionRendering,8,0,0,80,60");
  EXPECT_EQ(controller::commandLine({"EndJob"}), "EndJob");
}

}  // namespace

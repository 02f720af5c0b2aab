// The plug-in loaded by maxsim without a controller: its entry points, the log truncated at load,
// and FoxgloveUtil answering locally when no daemon runs.
#include "plugin/entry_points.h"
#include "support/process.h"
#include "support/temp_folder.h"

#include <max.h>

#include <plugapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

namespace {

namespace fs = std::filesystem;

const std::string maxsim = std::string(MOONSTONE_BIN_DIR) + "/maxsim";
const std::string plugins = std::string(MOONSTONE_BIN_DIR) + "/plugins";

class PluginWithoutController : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("MAXSIM_DRIVE_C", driveC.path().c_str(), 1);
    fs::create_directories(logFile().parent_path());
  }
  fs::path logFile() const { return driveC.path() / "Foxglove/logs/3zerorEzuridu.log"; }
  std::string logText() const {
    std::ifstream in(logFile());
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
  ProcessResult script(const std::string& text) {
    return runProcess(maxsim, {"-q", "-p", plugins, "-mxs", text});
  }

  TempFolder driveC;
};

TEST(PluginEntryPointsTest, NameTheSdkAndTheLibrary) {
  EXPECT_EQ(LibVersion(), 589829376ul);
  EXPECT_STREQ(LibDescription(), "Moonstone, Cloud interface");
  LibInit();
}

TEST(PluginLibraryTest, ExportsOnlyItsEntryPoints) {
  const ProcessResult run =
      runProcess("/usr/bin/nm", {"-D", "--defined-only", "--demangle", plugins + "/moonstone.dlx"});
  ASSERT_EQ(run.status, 0) << run.err;
  std::vector<std::string> names;
  std::istringstream lines(run.out);
  for (std::string line; std::getline(lines, line);) {
    names.push_back(line.substr(line.find(' ', line.find(' ') + 1) + 1));  // after address, kind
  }
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"LibDescription()", "LibInit()", "LibVersion()"}));
}

TEST_F(PluginWithoutController, LoadingTheLibraryTruncatesTheLog) {
  std::ofstream(logFile()) << "the previous run's lines\n";
  const ProcessResult run = script("1");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(fs::exists(logFile()));
  EXPECT_EQ(logText(), "");
}

TEST_F(PluginWithoutController, AnotherPluginFindsFoxgloveUtilByItsId) {
  const ProcessResult run =
      runProcess(maxsim, {"-q", "-p", plugins, "-p", PROBE_PLUGIN_DIR, "-mxs", "1"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "probe: found FoxgloveUtil\n");
}

TEST_F(PluginWithoutController, ControllerFunctionsAnswerLocally) {
  const ProcessResult run = script(
      "FoxgloveUtil.SetTitle \"abc\"\n"
      "FoxgloveUtil.LogMessage \"hello\"\n"
      "print (FoxgloveUtil.SetProgress 50.0)\n"
      "print (FoxgloveUtil.GetSubmitInfoEntry \"Frames\")\n"
      "print (FoxgloveUtil.GetSubmitInfoEntryElementCount \"Items\")\n"
      "print (FoxgloveUtil.GetSubmitInfoEntryElement 0 \"Items\")\n"
      "print (FoxgloveUtil.GetJobInfoEntry \"Name\")\n"
      "print (FoxgloveUtil.GetAuxFilename 0)\n"
      "print (FoxgloveUtil.GetOutputFilename -1)\n"
      "print (FoxgloveUtil.GetOutputFilename 0)\n"
      "print FoxgloveUtil.CurrentFrame");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out,
            "Title was set to \"abc\"\nhello\ntrue\nundefined\n0\nundefined\nundefined\n"
            "undefined\nundefined\nundefined\n0\n");
  EXPECT_NE(logText().find("Thread: "), std::string::npos);
}

TEST_F(PluginWithoutController, FailRenderRaisesItsMessageAsAScriptError) {
  const ProcessResult run = script("FoxgloveUtil.FailRender \"bad scene\"");
  EXPECT_NE(run.status, 0);
  EXPECT_NE(run.err.find("-- Runtime error: bad scene"), std::string::npos) << run.err;
}

TEST_F(PluginWithoutController, DebugFunctionsDriveTheRenderEngineByHand) {
  TempFolder output;
  setenv("MAXSIM_DRIVE_R", output.path().c_str(), 1);
  const std::string scene = std::string(MOONSTONE_SOURCE_DIR) + "/examples/scenes/animated.max";
  const ProcessResult run = script(
      "print (FoxgloveUtil.Debug_RenderFrame 1)\n"
      "print (FoxgloveUtil.Debug_StartJob @\"" +
      scene +
      "\" \"Camera01\")\n"
      "print (FoxgloveUtil.Debug_RenderFrame 2)\n"
      "print (FoxgloveUtil.GetOutputFilename 0)\n"
      "print (FoxgloveUtil.Debug_EndJob())\n"
      "print (FoxgloveUtil.Debug_EndJob())");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out,
            "Exception: RenderFrame called when consistency check flag jobRunning was not set\n"
            "false\ntrue\ntrue\n\"R:\\\\animated\\\\animated0002.tga\"\ntrue\n"
            "Exception: EndJob called when consistency check flag jobRunning was not set\nfalse\n");
  EXPECT_TRUE(fs::exists(output.path() / "animated" / "animated0002.tga"));
}

}  // namespace

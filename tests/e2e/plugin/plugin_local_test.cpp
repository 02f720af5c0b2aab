// The plug-in loaded by maxsim without a controller: its entry points, the log truncated at load,
// and FoxgloveUtil answering locally when no daemon runs.
#include "plugin/entry_points.h"
#include "support/log_drive.h"
#include "support/mapped_drive.h"
#include "support/process.h"

#include <max.h>

#include <plugapi.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

const std::string maxsim = std::string(MOONSTONE_BIN_DIR) + "/maxsim" MOONSTONE_EXE_SUFFIX;
const std::string plugins = std::string(MOONSTONE_BIN_DIR) + "/plugins";

class PluginWithoutController : public ::testing::Test {
 protected:
  fs::path logFile() const { return driveC.file(); }
  std::string logText() const { return driveC.text(); }
  ProcessResult script(const std::string& text) {
    return runProcess(maxsim, {"-q", "-p", plugins, "-mxs", text});
  }

  LogDrive driveC;
};

TEST(PluginEntryPointsTest, NameTheSdkAndTheLibrary) {
  EXPECT_EQ(LibVersion(), 589829376ul);
  EXPECT_STREQ(LibDescription(), "Moonstone, Cloud interface");
  LibInit();
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
  const MappedDrive output('R');
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

// maxsim runs start-up scripts with the engine: listener to stdout, errors to stderr and status.
#include "support/process.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

const std::string maxsim = std::string(MOONSTONE_BIN_DIR) + "/maxsim" MOONSTONE_EXE_SUFFIX;

class Maxsim : public ::testing::Test {
 protected:
  /// maxsim with no plug-ins (an empty plug-in folder) and the given script options.
  ProcessResult run(std::vector<std::string> scripts) {
    std::vector<std::string> args = {"-q", "-p", noPlugins.path().string()};
    args.insert(args.end(), scripts.begin(), scripts.end());
    return runProcess(maxsim, args);
  }

  std::string script(const std::string& name, const std::string& text) {
    const std::string path = (files.path() / name).string();
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }

  TempFolder noPlugins;
  TempFolder files;
};

TEST_F(Maxsim, AScriptTextPrintsToStandardOutput) {
  const ProcessResult result = run({"-mxs", "print (1+2)"});
  EXPECT_EQ(result.out, "3\n");
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.status, 0);
}

TEST_F(Maxsim, ScriptFilesAndTextsRunInOrderSharingGlobals) {
  const std::string file = script("start.ms", "total = 40\nformat \"file: %\\n\" total\n");
  const ProcessResult result =
      run({"-U", "MAXScript", file, "-mxs", "total = total + 2; format \"text: %\\n\" total"});
  EXPECT_EQ(result.out, "file: 40\ntext: 42\n");
  EXPECT_EQ(result.status, 0) << result.err;
}

TEST_F(Maxsim, AnUncaughtErrorIsPrintedAndFailsTheRunAfterWhatRanBeforeIt) {
  const ProcessResult result =
      run({"-mxs", "print \"before\"; throw \"boom\"; print \"after\"", "-mxs", "print \"next\""});
  EXPECT_EQ(result.out, "\"before\"\n");
  EXPECT_EQ(result.err, "-- Runtime error: boom\n");
  EXPECT_NE(result.status, 0);
}

TEST_F(Maxsim, ASyntaxErrorInAFileIsPrintedWithItsLine) {
  const std::string file = script("broken.ms", "x = 1\ny = (x +\n)\n");
  const ProcessResult result = run({"-U", "MAXScript", file});
  EXPECT_EQ(result.err, "-- Syntax error: at ), expected <factor>\n--  In line: )\n");
  EXPECT_NE(result.status, 0);
}

TEST_F(Maxsim, AMissingScriptFileIsAnErrorNamingIt) {
  const std::string file = (files.path() / "missing.ms").string();
  const ProcessResult result = run({"-U", "MAXScript", file});
  EXPECT_EQ(result.err, "-- Runtime error: Cannot open script file: \"" + file + "\"\n");
  EXPECT_NE(result.status, 0);
}

TEST(MaxsimPlugin, AScriptCallsTheInterfaceAPluginPublishedAtLoad) {
  const ProcessResult result =
      runProcess(maxsim, {"-q", "-p", ECHO_PLUGIN_DIR, "-mxs",
                          "print (EchoUtil.Shout \"hi\")\n"
                          "print echoutil.calls\n"
                          "try (EchoUtil.Refuse \"x\") catch (print (getCurrentException()))\n"
                          "EchoUtil.Refuse \"y\""});
  EXPECT_EQ(result.out, "\"hi!\"\n1\n\"-- Runtime error: refused x\"\n");
  EXPECT_EQ(result.err, "-- Runtime error: refused y\n");
  EXPECT_NE(result.status, 0);
}

}  // namespace

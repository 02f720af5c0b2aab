// The worker's command line: options map onto settings, mistakes are refused, help covers all.
#include "controller/worker/run/options.h"

#include "support/message_of.h"

#include <gtest/gtest.h>

namespace {

using controller::UsageError;
using worker::parseRenderOptions;
using worker::parseSessionOptions;

TEST(WorkerOptionsTest, ReadsEveryRenderOption) {
  const worker::RenderOptions options = parseRenderOptions({"scene.max",
                                                            "--frames",
                                                            "1-3",
                                                            "--camera",
                                                            "Camera01",
                                                            "--output=R:\\o\\a.tga",
                                                            "--frame-base",
                                                            "-10",
                                                            "--jpeg-previews",
                                                            "R:\\p",
                                                            "--fail-on-black",
                                                            "90",
                                                            "--black-threshold",
                                                            "0.25",
                                                            "--region",
                                                            "1,2,30,40",
                                                            "--padding",
                                                            "4",
                                                            "--restart-renderer",
                                                            "--hide-frame-buffer",
                                                            "--ignore-missing-external-files",
                                                            "--ignore-missing-uvws",
                                                            "--ignore-missing-dlls",
                                                            "--ignore-missing-xrefs",
                                                            "--remove-padding",
                                                            "--alpha-split",
                                                            "--job-info",
                                                            "Shot=sh010",
                                                            "--submit-info",
                                                            "Frames=1-3",
                                                            "--submit-element",
                                                            "Items=a",
                                                            "--submit-element",
                                                            "Items=b=c",
                                                            "--aux",
                                                            "C:\\aux\\one.txt",
                                                            "--stall-timeout",
                                                            "2.5",
                                                            "--progress",
                                                            "lines",
                                                            "--maxsim",
                                                            "/x/maxsim",
                                                            "--plugin-dir",
                                                            "/x/plugins",
                                                            "--work-dir",
                                                            "/w",
                                                            "--drive-c",
                                                            "/c",
                                                            "--drive",
                                                            "r=/r",
                                                            "--startup-timeout",
                                                            "5"});
  EXPECT_EQ(options.scene, "scene.max");
  EXPECT_EQ(options.frames, (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(options.camera, "Camera01");
  EXPECT_EQ(options.output, "R:\\o\\a.tga");
  EXPECT_EQ(options.frameBase, -10);
  EXPECT_EQ(options.jpegFolder, "R:\\p");
  EXPECT_EQ(options.blackPercent, 90);
  EXPECT_FLOAT_EQ(options.blackThreshold, 0.25f);
  EXPECT_EQ(options.region, (std::vector<int>{1, 2, 30, 40}));
  EXPECT_EQ(options.padding, 4);
  EXPECT_TRUE(options.restartRenderer && options.hideFrameBuffer &&
              options.ignoreMissingExternalFiles && options.ignoreMissingUVWs &&
              options.ignoreMissingDLLs && options.ignoreMissingXREFs && options.removePadding &&
              options.alphaSplit);
  EXPECT_EQ(options.launch.answers.jobInfo.at("Shot"), "sh010");
  EXPECT_EQ(options.launch.answers.submitInfo.at("Frames"), "1-3");
  EXPECT_EQ(options.launch.answers.submitElements.at("Items"),
            (std::vector<std::string>{"a", "b=c"}));
  EXPECT_EQ(options.launch.answers.auxFiles, (std::vector<std::string>{"C:\\aux\\one.txt"}));
  EXPECT_DOUBLE_EQ(options.stallTimeout, 2.5);
  EXPECT_EQ(options.progress, worker::RenderOptions::Progress::Lines);
  EXPECT_EQ(options.launch.maxsim, "/x/maxsim");
  EXPECT_EQ(options.launch.pluginDir, "/x/plugins");
  EXPECT_EQ(options.launch.workDir, "/w");
  EXPECT_EQ(options.launch.drives, (std::map<char, std::string>{{'C', "/c"}, {'R', "/r"}}));
  EXPECT_DOUBLE_EQ(options.launch.startupTimeout, 5);
  // --max names the same program, as a Windows node names its 3ds Max.
  EXPECT_EQ(parseRenderOptions({"s.max", "--frames", "1", "--max", "C:\\3dsmax.exe"}).launch.maxsim,
            "C:\\3dsmax.exe");
}

TEST(WorkerOptionsTest, ReadsTiles) {
  const auto options = parseRenderOptions({"s.max", "--frames", "1", "--tiles", "3x2"});
  EXPECT_EQ(options.tiles, std::make_pair(3, 2));
}

TEST(WorkerOptionsTest, RefusesMistakes) {
  struct Case {
    std::vector<std::string> arguments;
    std::string message;
  };
  const Case cases[] = {
      {{"--frames", "1"}, "no scene file given"},
      {{"s.max"}, "no frames given (--frames SPEC)"},
      {{"s.max", "t.max", "--frames", "1"}, "more than one scene: t.max"},
      {{"s.max", "--frames"}, "--frames needs a value"},
      {{"s.max", "--frames", "1", "--bogus"}, "unknown option --bogus"},
      {{"s.max", "--frames", "1", "--alpha-split=yes"}, "--alpha-split takes no value"},
      {{"s.max", "--frames", "--work-dir", "x"},
       "--frames needs a value, got the option --work-dir"},
      {{"s.max", "--frames", "1", "--padding", "-1"},
       "--padding needs a whole number from 0 to 2147483647, got: -1"},
      {{"s.max", "--frames", "1", "--padding", "99999999999"},
       "--padding needs a whole number from 0 to 2147483647, got: 99999999999"},
      {{"s.max", "--frames", "1", "--stall-timeout", "-3"},
       "--stall-timeout needs a number of at least 0, got: -3"},
      {{"s.max", "--frames", "1", "--fail-on-black", "101"},
       "--fail-on-black needs a whole number from 0 to 100, got: 101"},
      {{"s.max", "--frames", "1", "--region", "1,2,3"},
       "--region needs 4 numbers separated by commas"},
      {{"s.max", "--frames", "1", "--tiles", "2by2"},
       "--tiles needs COLUMNSxROWS with both at least 1, got: 2by2"},
      {{"s.max", "--frames", "1", "--tiles", "2x2", "--region", "0,0,1,1"},
       "--region and --tiles exclude each other"},
      {{"s.max", "--frames", "1", "--job-info", "novalue"},
       "--job-info needs KEY=VALUE, got: novalue"},
      {{"s.max", "--frames", "1", "--drive", "RR=/x"},
       "--drive needs a drive letter before '=', got: RR"},
      {{"s.max", "--frames", "1", "--progress", "fancy"},
       "--progress needs auto, bar or lines, got: fancy"},
      {{"s.max", "--frames", "1-x"},
       "bad frame list: expected the last frame of the range\n  1-x\n    ^"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(messageOf<UsageError>([&] { parseRenderOptions(c.arguments); }), c.message)
        << c.message;
  }
  EXPECT_EQ(messageOf<UsageError>([] {
              parseSessionOptions({"--frames", "1"});
            }),
            "unknown option --frames");
}

TEST(WorkerOptionsTest, HelpDocumentsEveryOption) {
  const std::vector<std::string> launch = {
      "--maxsim",         "--max",   "--plugin-dir",     "--work-dir",
      "--drive-c",        "--drive", "--job-info",       "--submit-info",
      "--submit-element", "--aux",   "--startup-timeout"};
  const std::vector<std::string> render = {"--frames",
                                           "--camera",
                                           "--output",
                                           "--frame-base",
                                           "--jpeg-previews",
                                           "--fail-on-black",
                                           "--black-threshold",
                                           "--region",
                                           "--padding",
                                           "--restart-renderer",
                                           "--hide-frame-buffer",
                                           "--ignore-missing-external-files",
                                           "--ignore-missing-uvws",
                                           "--ignore-missing-dlls",
                                           "--ignore-missing-xrefs",
                                           "--remove-padding",
                                           "--alpha-split",
                                           "--tiles",
                                           "--stall-timeout",
                                           "--progress"};
  for (const auto& option : launch) {
    EXPECT_NE(worker::renderUsage().find(option + " "), std::string::npos) << option;
    EXPECT_NE(worker::sessionUsage().find(option + " "), std::string::npos) << option;
  }
  for (const auto& option : render) {
    EXPECT_NE(worker::renderUsage().find(option), std::string::npos) << option;
  }
  EXPECT_TRUE(parseRenderOptions({"--help"}).help);
  EXPECT_TRUE(parseSessionOptions({"-h"}).help);
}

}  // namespace

// The stable progress lines and the live bar.
#include "controller/worker/progress_display.h"
#include "controller/worker/summary.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

TEST(ProgressDisplayTest, PrintsOneStableLinePerStep) {
  std::ostringstream out;
  worker::ProgressDisplay display(out, false);
  display.jobStarted("/s/a.max", "1-2", 2);
  display.frameStarted(1, 0);
  display.title(1, "Rendering Image - 10.0%");
  display.title(1, "Rendering Image - 20.0%");
  display.progress(1, -1);
  display.progress(1, 50.4f);
  display.progress(1, 50.9f);
  display.scriptOutput(1, "hello");
  display.frameError(1, "ERROR: Trapped\nreport line");
  display.fileChecked(1, "/o/a0001.tga", 160, 120, "");
  display.fileChecked(1, "/o/b0001.tga", 0, 0, "does not decode");
  display.frameWarning(1, "no JPEG preview");
  display.frameFinished(1, false, 1.234, "ERROR: Trapped\nreport line");
  display.frameStarted(2, 1);
  display.progress(2, 100);
  display.frameFinished(2, true, 0.5, "");
  display.note("plug-in log: /c/log");
  display.jobFinished(1);
  EXPECT_EQ(out.str(),
            "JOB: start 2 frames 1-2 scene /s/a.max\n"
            "FRAME: 1 start 1/2\n"
            "TITLE: 1 Rendering Image\n"
            "PROGRESS: 25% frame 1 50%\n"
            "STDOUT: 1 hello\n"
            "ERROR: 1 ERROR: Trapped\n"
            "ERROR: 1 report line\n"
            "FILE: 1 ok 160x120 /o/a0001.tga\n"
            "FILE: 1 failed /o/b0001.tga: does not decode\n"
            "WARNING: 1 no JPEG preview\n"
            "FRAME: 1 failed 1.23s ERROR: Trapped\n"
            "FRAME: 2 start 2/2\n"
            "PROGRESS: 100% frame 2 100%\n"
            "FRAME: 2 done 0.50s\n"
            "NOTE: plug-in log: /c/log\n"
            "JOB: done 1/2 frames succeeded\n");
}

TEST(ProgressDisplayTest, LiveModeRedrawsABarInPlace) {
  std::ostringstream out;
  worker::ProgressDisplay display(out, true);
  display.jobStarted("/s/a.max", "1", 1);
  display.frameStarted(1, 0);
  display.title(1, "Rendering Image - 10.0%");
  display.progress(1, 50);
  display.scriptOutput(1, "hello");
  const std::string text = out.str();
  const std::string bar =
      "\r\033[K[###############---------------] 50% frame 1 (1/1) Rendering Image";
  EXPECT_NE(text.find(bar + "\r\033[KSTDOUT: 1 hello\n" + bar), std::string::npos) << text;
  EXPECT_EQ(text.find("PROGRESS:"), std::string::npos);
  EXPECT_EQ(text.find("TITLE:"), std::string::npos);
}

TEST(SummaryTest, ListsFramesWithStatusTimeAndFiles) {
  std::ostringstream out;
  worker::printSummary(out, {{1, true, 0.5, {"/o/a0001.tga", "/o/b0001.tga"}, ""},
                             {2, false, 1.25, {}, "ERROR: black\nmore"}});
  EXPECT_EQ(out.str(),
            "SUMMARY:\n"
            "  frame   status  time      files\n"
            "  1       ok      0.50s     /o/a0001.tga\n"
            "                            /o/b0001.tga\n"
            "  2       FAILED  1.25s     ERROR: black\n");
}

}  // namespace

// The stable progress lines, the live bar and the summary table.
#include "controller/worker/display/bar_display.h"
#include "controller/worker/display/line_display.h"
#include "controller/worker/display/summary_table.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

using namespace std::chrono_literals;

/// A clock that moves only when told.
class ManualClock : public worker::Clock {
 public:
  std::chrono::steady_clock::time_point now() const override { return time; }
  std::chrono::steady_clock::time_point time;
};

controller::FrameRecord record(int frame, controller::FrameStatus status, double seconds,
                               const std::string& reason = "") {
  controller::FrameRecord result;
  result.frame = frame;
  result.status = status;
  result.seconds = seconds;
  result.reason = reason;
  return result;
}

TEST(ProgressDisplayTest, PrintsOneStableLinePerStep) {
  std::ostringstream out;
  worker::LineDisplay display(out);
  display.jobStarted("/s/a.max", "1-3", 3);
  display.note("plug-in: Moonstone 2.7");
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
  display.frameFinished(
      record(1, controller::FrameStatus::Failed, 1.234, "ERROR: Trapped\nreport"));
  display.frameStarted(2, 1);
  display.progress(2, 100);
  display.frameFinished(record(2, controller::FrameStatus::Done, 0.5));
  display.jobError("maxsim exited\nits output");
  display.frameFinished(record(3, controller::FrameStatus::NotRendered, 0, "not rendered: maxsim"));
  display.jobWarning("odd");
  display.jobFinished(1);
  EXPECT_EQ(out.str(),
            "JOB: start 3 frames 1-3 scene /s/a.max\n"
            "NOTE: plug-in: Moonstone 2.7\n"
            "FRAME: 1 start 1/3\n"
            "TITLE: 1 Rendering Image\n"
            "PROGRESS: 50% frame 1 job 16%\n"
            "STDOUT: 1 hello\n"
            "ERROR: 1 ERROR: Trapped\n"
            "ERROR: 1 report line\n"
            "FILE: 1 ok 160x120 /o/a0001.tga\n"
            "FILE: 1 failed /o/b0001.tga: does not decode\n"
            "WARNING: 1 no JPEG preview\n"
            "FAILED: 1 1.23s ERROR: Trapped\n"
            "FRAME: 2 start 2/3\n"
            "PROGRESS: 100% frame 2 job 66%\n"
            "DONE: 2 0.50s\n"
            "ERROR: job maxsim exited\n"
            "ERROR: job its output\n"
            "FAILED: 3 0.00s not rendered: maxsim\n"
            "WARNING: job odd\n"
            "JOB: done 1/3 frames succeeded\n");
}

// Text from a scene or the plug-in must not forge the worker's own lines: every line of it keeps
// its prefix and carriage returns and other control characters are escaped.
TEST(ProgressDisplayTest, TextFromTheSceneCannotForgeLines) {
  std::ostringstream out;
  worker::LineDisplay display(out);
  display.jobStarted("/s/a.max", "1", 1);
  display.frameStarted(1, 0);
  const std::string forged =
      "x\nDONE: 99 1.00s\rPROGRESS: 100% frame 99 job 100%\r\nJOB: done\x1b[2K";
  display.scriptOutput(1, forged);
  display.title(1, forged);
  display.frameError(1, forged);
  display.jobError(forged);
  display.fileChecked(1, "/o/a\rDONE: 1", 0, 0, "bad\nDONE: 1");
  display.frameFinished(record(1, controller::FrameStatus::Failed, 0, "why\rDONE: 1 0.00s"));
  const std::string text = out.str();
  EXPECT_EQ(text.find('\r'), std::string::npos) << text;
  EXPECT_EQ(text.find('\x1b'), std::string::npos) << text;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    EXPECT_TRUE(line.rfind("JOB: start", 0) == 0 || line.rfind("FRAME: 1 ", 0) == 0 ||
                line.rfind("STDOUT: 1 ", 0) == 0 || line.rfind("TITLE: 1 ", 0) == 0 ||
                line.rfind("ERROR: 1 ", 0) == 0 || line.rfind("ERROR: job ", 0) == 0 ||
                line.rfind("FILE: 1 failed ", 0) == 0 || line.rfind("FAILED: 1 ", 0) == 0)
        << line;
  }
  EXPECT_NE(
      text.find("STDOUT: 1 x\nSTDOUT: 1 DONE: 99 1.00s\\rPROGRESS: 100% frame 99 job 100%\\r\n"
                "STDOUT: 1 JOB: done\\x1b[2K\n"),
      std::string::npos)
      << text;
}

TEST(ProgressDisplayTest, TheLiveBarFitsTheTerminalAndEstimatesTheTimeLeft) {
  ManualClock clock;
  std::ostringstream out;
  worker::BarDisplay display(out, clock, 100, false);
  display.jobStarted("/s/a.max", "1-2", 2);
  display.frameStarted(1, 0);
  display.frameFinished(record(1, controller::FrameStatus::Done, 10));
  display.frameStarted(2, 1);
  display.title(2, "Rendering Image - 10.0%");
  clock.time += 15s;
  display.progress(2, 50);
  // Three quarters of the job in 15 s: 5 s to go.
  const std::string bar =
      "[############------------] 50% frame 2 | 1/2 frames | 0:15 left 0:05 | "
      "Rendering Image";
  EXPECT_EQ(display.barText(), bar);
  display.scriptOutput(2, "hello");
  const std::string text = out.str();
  EXPECT_NE(text.find("\r\033[K" + bar + "\r\033[KSTDOUT: 2 hello\n\r\033[K" + bar),
            std::string::npos)
      << text;
  EXPECT_EQ(text.find("PROGRESS:"), std::string::npos);
  EXPECT_EQ(text.find("TITLE:"), std::string::npos);

  worker::BarDisplay narrow(out, clock, 40, true);
  narrow.jobStarted("/s/a.max", "1", 1);
  narrow.frameStarted(1, 0);
  narrow.title(1, "A title far too long for a narrow terminal");
  narrow.progress(1, 30);
  EXPECT_EQ(narrow.barText().size(), 39u);
  EXPECT_NE(out.str().find("\033[32m[###"), std::string::npos);
}

TEST(SummaryTest, ListsFramesWithStatusTimeAndFiles) {
  std::ostringstream out;
  controller::FrameRecord done = record(1, controller::FrameStatus::Done, 0.5);
  done.files = {{"R:\\a0001.tga", "/o/a0001.tga"}, {"R:\\b0001.tga", "/o/b0001.tga"}};
  worker::printSummary(
      out, {done, record(2, controller::FrameStatus::Failed, 1.25, "ERROR: black\nmore"),
            record(3, controller::FrameStatus::Failed, 2),
            record(4, controller::FrameStatus::NotRendered, 0, "not rendered: stopped")});
  EXPECT_EQ(out.str(),
            "SUMMARY:\n"
            "  frame   status  time      files\n"
            "  1       ok      0.50s     /o/a0001.tga\n"
            "                            /o/b0001.tga\n"
            "  2       FAILED  1.25s     ERROR: black\n"
            "  3       FAILED  2.00s     \n"
            "  4       NOT RUN 0.00s     not rendered: stopped\n");
}

}  // namespace

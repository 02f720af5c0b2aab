// The progress callback against a controller on loopback, with the throttle's clock held still.
#include "render/render_progress_callback.h"

#include "controller/link/controller_link.h"
#include "support/log_capture.h"
#include "support/tick_count.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

using namespace moonstone;
using tangram::win32::simple_socket;
using tangram::win32::simple_socket_timeout_error;

const int waitMs = 10000;

class ProgressCallbackTest : public ::testing::Test {
 protected:
  void SetUp() override {
    MoonstoneRenderCallback::resetThrottle();
    freezeTickCount(clock);
    plugin.connect("127.0.0.1", controller.port());
    controller.accept(waitMs);
  }
  void TearDown() override { thawTickCount(); }

  /// Moves the frozen clock on, so that the next Progress is due.
  void advance(DWORD ms = 1000) {
    clock += ms;
    freezeTickCount(clock);
  }
  std::string sent() { return controller.receive(waitMs); }
  /// True when the plug-in sent nothing more (the callback is synchronous, so anything it sent
  /// is already in the stream when it returns).
  bool nothingSent() {
    try {
      controller.receive(0);
      return false;
    } catch (const simple_socket_timeout_error&) {
      return true;
    }
  }

  DWORD clock = 50000;
  LogCapture log;
  controller::ControllerLink controller;
  simple_socket plugin;
};

TEST_F(ProgressCallbackTest, RenderingTitleSendsTitleAndProgressAndGoesOnForContinue) {
  for (const char* title :
       {"Rendering Image", "RENDERING IMAGE 2", "rendering", "12%  Rendering"}) {
    MoonstoneRenderCallback callback(plugin, "", 0.0f, 1.0f);
    callback.SetTitle(title);
    controller.send("CONTINUE");
    advance();
    EXPECT_EQ(callback.Progress(50, 100), RENDPROG_CONTINUE);
    EXPECT_EQ(sent(), std::string("FUNCTION: SETTITLE ") + title + " - 50.0%");
    EXPECT_EQ(sent(), "FUNCTION: PROGRESS 50");
    EXPECT_EQ(callback.timeoutCount(), 0u);
  }
}

TEST_F(ProgressCallbackTest, OtherTitlesSendNoPercentage) {
  MoonstoneRenderCallback callback(plugin, "", 0.0f, 1.0f);
  callback.SetTitle("Preparing Lights\r\n\r");
  controller.send("CONTINUE");
  advance();
  EXPECT_EQ(callback.Progress(1, 3), RENDPROG_CONTINUE);
  EXPECT_EQ(sent(), "FUNCTION: SETTITLE Preparing Lights - 33.3%");
  EXPECT_EQ(sent(), "FUNCTION: PROGRESS -1");
}

TEST_F(ProgressCallbackTest, NoTotalSendsMinusOneAndTheFirstRealTotalIsSentAtOnce) {
  MoonstoneRenderCallback callback(plugin, "", 0.0f, 1.0f);
  callback.SetTitle("Rendering Image");
  controller.send("CONTINUE");
  controller.send("CONTINUE");
  advance();
  EXPECT_EQ(callback.Progress(10, 0), RENDPROG_CONTINUE);
  EXPECT_EQ(sent(), "FUNCTION: PROGRESS -1");
  EXPECT_EQ(callback.Progress(20, 100), RENDPROG_CONTINUE);  // same tick: due for the total
  EXPECT_EQ(sent(), "FUNCTION: SETTITLE Rendering Image - 20.0%");
  EXPECT_EQ(sent(), "FUNCTION: PROGRESS 20");
}

TEST_F(ProgressCallbackTest, ThrottlesToOneExchangePerHundredMillisecondsExceptAtTheEnd) {
  MoonstoneRenderCallback callback(plugin, "", 0.0f, 1.0f);
  callback.SetTitle("Rendering Image");
  controller.send("CONTINUE");
  advance();
  EXPECT_EQ(callback.Progress(10, 100), RENDPROG_CONTINUE);
  sent();
  sent();
  advance(20);
  EXPECT_EQ(callback.Progress(30, 100), RENDPROG_CONTINUE);
  advance(79);
  EXPECT_EQ(callback.Progress(40, 100), RENDPROG_CONTINUE);
  EXPECT_TRUE(nothingSent());
  controller.send("CONTINUE");
  EXPECT_EQ(callback.Progress(120, 100), RENDPROG_CONTINUE);  // the end is always reported
  EXPECT_EQ(sent(), "FUNCTION: SETTITLE Rendering Image - 100.0%");
  EXPECT_EQ(sent(), "FUNCTION: PROGRESS 100");
  controller.send("CONTINUE");
  advance(100);
  EXPECT_EQ(callback.Progress(50, 100), RENDPROG_CONTINUE);  // 100 ms after the last request
  sent();
}

TEST_F(ProgressCallbackTest, TheThrottleIsSharedByEveryCallback) {
  MoonstoneRenderCallback first(plugin, "", 0.0f, 1.0f);
  first.SetTitle("Rendering Image");
  controller.send("CONTINUE");
  advance();
  first.Progress(10, 100);
  sent();
  sent();
  MoonstoneRenderCallback second(plugin, "", 0.0f, 1.0f);
  second.SetTitle("Rendering Image");
  EXPECT_EQ(second.Progress(20, 100), RENDPROG_CONTINUE);
  EXPECT_TRUE(nothingSent());
}

TEST_F(ProgressCallbackTest, InitializingRayServerSendsNothing) {
  MoonstoneRenderCallback callback(plugin, "", 0.0f, 1.0f);
  callback.SetTitle("Initializing Ray Server");
  advance();
  EXPECT_EQ(callback.Progress(100, 100), RENDPROG_CONTINUE);
  EXPECT_TRUE(nothingSent());
}

TEST_F(ProgressCallbackTest, AnyAnswerButContinueAbortsAndIsLogged) {
  for (const char* answer : {"STOP", "", "continue"}) {
    MoonstoneRenderCallback callback(plugin, "", 0.0f, 1.0f);
    callback.SetTitle("Rendering Image");
    controller.send(answer);
    advance();
    EXPECT_EQ(callback.Progress(50, 100), RENDPROG_ABORT) << answer;
    sent();
    sent();
    EXPECT_NE(log.text().find(std::string("response: ") + answer + "\n"), std::string::npos);
  }
}

TEST_F(ProgressCallbackTest, PassesOfAMultiPassRenderRiseAsOnePercentage) {
  MoonstoneRenderCallback callback(plugin, "Pass 2 of 4 - ", 100.0f * 1 / 4, 1.0f / 4);
  callback.SetTitle("Rendering Image");
  controller.send("CONTINUE");
  advance();
  EXPECT_EQ(callback.Progress(50, 100), RENDPROG_CONTINUE);
  EXPECT_EQ(sent(), "FUNCTION: SETTITLE Pass 2 of 4 - Rendering Image - 50.0%");
  EXPECT_EQ(sent(), "FUNCTION: PROGRESS 37.5");
}

TEST_F(ProgressCallbackTest, SixUnansweredRequestsInARowAbortTheRender) {
  MoonstoneRenderCallback callback(plugin, "", 0.0f, 1.0f);
  callback.SetTitle("Rendering Image");
  for (uint32_t request = 1; request <= 6; ++request) {
    advance();
    EXPECT_EQ(callback.Progress(10, 100), RENDPROG_CONTINUE);
    EXPECT_EQ(callback.timeoutCount(), request);
  }
  EXPECT_EQ(callback.Progress(11, 100), RENDPROG_ABORT);
  const std::string text = log.text();
  EXPECT_NE(text.find("caught simple socket excetion when handling progress: simple_socket: Timed "
                      "out waiting for header packet to arrive. (timeout count = 6)\n"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("timed out, aborting\n"), std::string::npos);
}

TEST_F(ProgressCallbackTest, RequestsThatCannotBeSentCountAsUnanswered) {
  MoonstoneRenderCallback callback(plugin, "", 0.0f, 1.0f);
  callback.SetTitle("Rendering Image");
  controller.hangUp();
  for (int request = 1; request <= 6; ++request) {
    advance();
    EXPECT_EQ(callback.Progress(10, 100), RENDPROG_CONTINUE) << request;
  }
  advance();
  EXPECT_EQ(callback.Progress(11, 100), RENDPROG_ABORT);
  EXPECT_NE(log.text().find("(timeout count = 6)\ntimed out, aborting\n"), std::string::npos)
      << log.text();
}

TEST_F(ProgressCallbackTest, WithoutAControllerTheRenderRunsToItsEnd) {
  simple_socket unconnected;
  MoonstoneRenderCallback callback(unconnected, "", 0.0f, 1.0f);
  callback.SetTitle("Rendering Image");
  for (int request = 1; request <= 20; ++request) {
    advance();
    ASSERT_EQ(callback.Progress(request, 100), RENDPROG_CONTINUE) << request;
  }
  EXPECT_EQ(callback.timeoutCount(), 0u);
}

TEST_F(ProgressCallbackTest, AnAnswerResetsTheUnansweredCount) {
  MoonstoneRenderCallback callback(plugin, "", 0.0f, 1.0f);
  callback.SetTitle("Rendering Image");
  for (int request = 0; request < 5; ++request) {
    advance();
    callback.Progress(10, 100);
  }
  EXPECT_EQ(callback.timeoutCount(), 5u);
  // The five late answers' requests are still in the stream; an answer now resets the count.
  controller.send("CONTINUE");
  advance();
  EXPECT_EQ(callback.Progress(10, 100), RENDPROG_CONTINUE);
  EXPECT_EQ(callback.timeoutCount(), 0u);
}

TEST_F(ProgressCallbackTest, TheRendererMayCallFromItsOwnThread) {
  MoonstoneRenderCallback callback(plugin, "", 0.0f, 1.0f);
  callback.SetTitle("Rendering Image");
  controller.send("CONTINUE");
  advance();
  int result = -1;
  std::thread renderer([&] {
    callback.SetTitle("Rendering Image");
    result = callback.Progress(75, 100);
  });
  renderer.join();
  EXPECT_EQ(result, RENDPROG_CONTINUE);
  EXPECT_EQ(sent(), "FUNCTION: SETTITLE Rendering Image - 75.0%");
  EXPECT_EQ(sent(), "FUNCTION: PROGRESS 75");
}

}  // namespace

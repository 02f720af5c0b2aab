// Requests to the controller over a real socket: their texts, how answers are read, and failures.
#include "session/controller_requests.h"

// Boost comes before the SDK headers, whose base_type macro breaks it.
#include <boost/lexical_cast.hpp>

#include "controller/link/controller_link.h"
#include "session/global_socket.h"
#include "support/message_of.h"
#include "support/thread_work.h"

#include <max.h>
#include <maxscrpt/maxscrpt.h>

#include <maxscrpt/excepts.h>
#include <windows.h>

#include <gtest/gtest.h>

namespace {

using namespace moonstone;

const int waitMs = 10000;

std::string scriptErrorOf(const std::function<void()>& call) {
  try {
    call();
  } catch (const RuntimeError& error) {
    return error.text();
  }
  return "no script error";
}

class RequestsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    globalSocket.connect("127.0.0.1", controller.port());
    controller.accept(waitMs);
  }
  void TearDown() override { globalSocket.close(true); }

  /// The next packet the controller received.
  std::string sent() { return controller.receive(waitMs); }

  controller::ControllerLink controller;
};

TEST_F(RequestsTest, NotificationsSendTheirTextsExactlyAndWaitForNothing) {
  requestSetTitle("Frame 12, pass \"a\"");
  EXPECT_EQ(sent(), "FUNCTION: SETTITLE Frame 12, pass \"a\"");
  requestLogMessage("");
  EXPECT_EQ(sent(), "FUNCTION: STDOUT: ");
  EXPECT_EQ(std::string("FUNCTION: STDOUT: ").size(), 18u);
}

TEST_F(RequestsTest, ProgressGoesOnOnlyForAnExactContinue) {
  struct Case {
    float percent;
    const char* text;
    const char* answer;
    bool goOn;
  };
  const Case cases[] = {
      {12.5f, "FUNCTION: PROGRESS 12.5", "CONTINUE", true},
      {50.0f, "FUNCTION: PROGRESS 50", "continue", false},
      {100.0f / 3, "FUNCTION: PROGRESS 33.33333", "", false},
      {-1.0f, "FUNCTION: PROGRESS -1", "STOP", false},
  };
  for (const Case& c : cases) {
    controller.send(c.answer);  // answers pair with requests by order alone
    EXPECT_EQ(requestProgress(c.percent), c.goOn) << c.text;
    EXPECT_EQ(sent(), c.text);
  }
}

TEST_F(RequestsTest, LookUpsReturnWhatFollowsTheSuccessPrefix) {
  controller.send("SUCCESS: 1-100");
  EXPECT_EQ(requestSubmitInfoEntry("Frames"), "1-100");
  EXPECT_EQ(sent(), "FUNCTION: GETSUBMITINFOENTRY Frames");

  controller.send("SUCCESS: ");
  EXPECT_EQ(requestSubmitInfoEntry("Frames"), "");
  sent();

  controller.send("SUCCESS: a, b ");
  EXPECT_EQ(requestJobInfoEntry("Output Folder, main"), "a, b ");
  EXPECT_EQ(sent(), "FUNCTION: GETJOBINFOENTRY Output Folder, main");

  controller.send("SUCCESS: second");
  EXPECT_EQ(requestSubmitInfoEntryElement(2, "Items"), "second");
  EXPECT_EQ(sent(), "FUNCTION: GETSUBMITINFOENTRYELEMENT 2,Items");

  controller.send("SUCCESS: 3");
  EXPECT_EQ(requestSubmitInfoEntryElementCount("Items"), 3);
  EXPECT_EQ(sent(), "FUNCTION: GETSUBMITINFOENTRYELEMENTCOUNT Items");

  controller.send("SUCCESS: /jobs/aux0.ms");
  EXPECT_EQ(requestAuxFilename(0), "/jobs/aux0.ms");
  EXPECT_EQ(sent(), "FUNCTION: GETAUXFILE 0");
}

TEST_F(RequestsTest, AnswersWithoutThePrefixMeanNoSuchEntry) {
  for (const char* answer : {"SUCCESS:", "ERROR: none", "success: x", ""}) {
    controller.send(answer);
    EXPECT_EQ(messageOf<std::invalid_argument>([] { requestSubmitInfoEntry("Frames"); }),
              "Key Frames doesn't exist")
        << answer;
    sent();
  }
  controller.send("nothing");
  EXPECT_EQ(messageOf<std::invalid_argument>([] { requestSubmitInfoEntryElement(7, "Items"); }),
            "Key Items doesn't exist");
  controller.send("nothing");
  EXPECT_EQ(messageOf<std::invalid_argument>([] { requestAuxFilename(-1); }),
            "Aux file requested doesn't exist");
  sent();
  EXPECT_EQ(sent(), "FUNCTION: GETAUXFILE -1");
}

TEST_F(RequestsTest, ACountThatIsNotANumberIsAConversionErrorNotAMissingKey) {
  controller.send("SUCCESS: three");
  EXPECT_THROW(requestSubmitInfoEntryElementCount("Items"), boost::bad_lexical_cast);
  controller.send("SUCCESS:  3");
  EXPECT_THROW(requestSubmitInfoEntryElementCount("Items"), boost::bad_lexical_cast);
}

TEST_F(RequestsTest, AnUnansweredRequestBecomesAScriptErrorAndTheLateAnswerStaysQueued) {
  EXPECT_EQ(scriptErrorOf([] { requestProgress(10); }),
            "Error in SetProgress: simple_socket: Timed out waiting for header packet to arrive.");
  EXPECT_EQ(scriptErrorOf([] { requestJobInfoEntry("Name"); }),
            "Error in GetJobInfoEntry: simple_socket: Timed out waiting for header packet to "
            "arrive.");
  // A late answer is read by the next exchange.
  controller.send("SUCCESS: late");
  controller.send("SUCCESS: on time");
  EXPECT_EQ(requestJobInfoEntry("Name"), "late");
}

TEST_F(RequestsTest, ALostConnectionNamesTheFunctionThatFailed) {
  globalSocket.close(true);
  const std::string notConnected = ": simple_socket: send called while not connected.";
  EXPECT_EQ(scriptErrorOf([] { requestSetTitle("t"); }), "Error in SetTitle" + notConnected);
  EXPECT_EQ(scriptErrorOf([] { requestLogMessage("m"); }), "Error in LogMessage" + notConnected);
  EXPECT_EQ(scriptErrorOf([] { requestSubmitInfoEntry("k"); }),
            "Error in GetSubmitInfoEntry" + notConnected);
  EXPECT_EQ(scriptErrorOf([] { requestSubmitInfoEntryElementCount("k"); }),
            "Error in GetSubmitInfoEntryElementCount" + notConnected);
  EXPECT_EQ(scriptErrorOf([] { requestSubmitInfoEntryElement(0, "k"); }),
            "Error in GetSubmitInfoEntryElement" + notConnected);
  EXPECT_EQ(scriptErrorOf([] { requestAuxFilename(0); }), "Error in GetAuxFilename" + notConnected);
}

TEST_F(RequestsTest, EveryRequestButTheLogLinePumpsTheHostsMessages) {
  MSG message;
  PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);  // the thread's queue, as a host thread has
  int ran = 0;
  ASSERT_TRUE(postThreadWork(GetCurrentThreadId(), [&ran] { ++ran; }));
  requestLogMessage("no pumping here");
  EXPECT_EQ(ran, 0);
  requestSetTitle("pumps first");
  EXPECT_EQ(ran, 1);
  ASSERT_TRUE(postThreadWork(GetCurrentThreadId(), [&ran] { ++ran; }));
  controller.send("CONTINUE");
  requestProgress(1);
  EXPECT_EQ(ran, 2);
}

}  // namespace

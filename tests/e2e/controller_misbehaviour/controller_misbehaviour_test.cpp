// A controller that stops answering, hangs up in the middle of a frame, answers late, or sends
// bytes that are not a packet or not a command line: each ends as the plug-in promises, and
// maxsim either serves on or has exited and been reaped.
#include "controller/link/command_replies.h"
#include "support/maxsim_session.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <string>

namespace {

namespace fs = std::filesystem;
using controller::isRequest;
using controller::Transcript;

bool isProgressRequest(const std::string& packet) {
  return packet.rfind("FUNCTION: PROGRESS ", 0) == 0;
}

// A scene of `rows` rows of 8 pixels, each row taking msPerRow, written to R:\out\f.tga.
std::string sceneText(int rows, int msPerRow, const std::string& extra = "") {
  return R"({"format": "moonstone-scene", "render": {"width": 8, "height": )" +
         std::to_string(rows) + R"(, "ms_per_row": )" + std::to_string(msPerRow) +
         R"(, "output": "R:\\out\\f.tga"})" + extra + "}";
}

class MisbehavingController : public MaxsimSession {
 protected:
  void startJob(const std::string& sceneJson) {
    ASSERT_EQ(startJobOn(scene("job.max", sceneJson)).size(), 1u);
  }
  /// Reads packets without answering any until the final reply of the command line sent.
  Transcript readUnanswered(const std::string& line) {
    controller::CommandReplies replies(line);
    Transcript transcript;
    do {
      transcript.push_back(controller.receive(waitMs));
    } while (isRequest(transcript.back()) || !replies.isFinal(transcript.back()));
    return transcript;
  }
  bool logHas(const std::string& text) const { return logText().find(text) != std::string::npos; }
};

// Rows take long enough that more than six requests fall due however slow the machine is.
TEST_F(MisbehavingController, SilenceDuringProgressAbortsTheFrameAfterSixRequests) {
  connect();
  startJob(sceneText(80, 20));
  controller.send("RenderTask,1");
  const Transcript silent = readUnanswered("RenderTask,1");
  EXPECT_EQ(std::count_if(silent.begin(), silent.end(), isProgressRequest), 6);
  Transcript replies;
  std::copy_if(silent.begin(), silent.end(), std::back_inserter(replies),
               [](const std::string& packet) { return !isRequest(packet); });
  EXPECT_EQ(replies, (Transcript{"STARTED", "ERROR: Failed to render the frame.",
                                 "ERROR: Failed to save file."}));
  EXPECT_FALSE(fs::exists(output.path() / "out" / "f0001.tga"));
  // Nothing was sent back, so the stream is in step: the next frame, answered, renders.
  EXPECT_EQ(controller.command("RenderTask,2", waitMs).back(), "SUCCESS");
  EXPECT_TRUE(fs::exists(output.path() / "out" / "f0002.tga"));
  EXPECT_EQ(finish().out, "true\n");
  EXPECT_TRUE(logHas("(timeout count = 6)\ntimed out, aborting\n"));
}

// The answer to the first progress request comes only after the plug-in has given up on it and
// asked again: it is taken as the answer to the later request, every answer after it arrives
// one request late, and the last one is read between commands as a stray CONTINUE, ignored.
TEST_F(MisbehavingController, ALateAnswerIsTakenByTheNextRequestAndTheLastIsIgnored) {
  connect();
  startJob(sceneText(40, 5));
  controller.send("RenderTask,1");
  controller::CommandReplies replies("RenderTask,1");
  bool withheld = false;
  bool answeredLate = false;
  std::string packet;
  do {
    packet = controller.receive(waitMs);
    if (withheld && !answeredLate) {
      controller.send("CONTINUE");
      answeredLate = true;
    }
    if (isProgressRequest(packet)) {
      if (!withheld) {
        withheld = true;
      } else {
        controller.send("CONTINUE");
      }
    }
  } while (isRequest(packet) || !replies.isFinal(packet));
  EXPECT_EQ(packet, "SUCCESS");
  EXPECT_TRUE(fs::exists(output.path() / "out" / "f0001.tga"));
  EXPECT_EQ(finish().out, "true\n");
  const std::string log = logText();
  EXPECT_NE(log.find("caught simple socket excetion when handling progress: simple_socket: Timed "
                     "out waiting for header packet to arrive. (timeout count = 1)\n"),
            std::string::npos)
      << log;
  EXPECT_NE(log.find("\nGot command: CONTINUE\n"), std::string::npos);
  EXPECT_NE(log.find("Warning: ignoring CONTINUE statement\n"), std::string::npos);
}

// The controller hangs up while a scene script waits for a look-up: the script's request fails,
// the frame fails, its error reply cannot be sent, and the session ends with that error; the
// start-up script gets false and maxsim exits.
TEST_F(MisbehavingController, AHangUpDuringALookUpEndsTheSessionAndMaxsim) {
  connect();
  startJob(sceneText(24, 0, R"(, "scripts": [{"text": "FoxgloveUtil.GetJobInfoEntry \"Shot\"",
                                              "row": 12}])"));
  controller.send("RenderTask,1");
  std::string packet;
  do {
    packet = controller.receive(waitMs);
    if (isProgressRequest(packet)) controller.send("CONTINUE");
  } while (packet != "FUNCTION: GETJOBINFOENTRY Shot");
  const ProcessResult ended = finish();
  EXPECT_EQ(ended.status, 0) << ended.err;
  EXPECT_EQ(ended.out, "false\n");
  // The scene script's error goes to the host's log, maxsim's standard error.
  EXPECT_NE(ended.err.find("Error in GetJobInfoEntry: simple_socket::receive: socket was "
                           "disconnected while reading header."),
            std::string::npos)
      << ended.err;
  EXPECT_TRUE(logHas("\nException: simple_socket: send called while not connected.\n"));
}

// The controller hangs up right after a progress request. Whether the plug-in was still waiting
// for the answer (it reads the hang-up) or had given up after 100 ms (its next send fails) is
// up to the machine's timing; either way the progress callback logs the socket error, the
// session ends with an error instead of the controller's normal close, and maxsim exits.
TEST_F(MisbehavingController, AHangUpDuringProgressEndsTheSessionAndMaxsim) {
  connect();
  startJob(sceneText(50, 20));
  controller.send("RenderTask,1");
  while (!isProgressRequest(controller.receive(waitMs))) {
  }
  finish();
  const std::string log = logText();
  EXPECT_NE(log.find("caught simple socket excetion when handling progress: "), std::string::npos)
      << log;
  EXPECT_NE(log.find("\nException: "), std::string::npos) << log;
  EXPECT_EQ(log.find("Returning TRUE"), std::string::npos) << log;
}

/// Bytes sent where a packet should start, and the size the plug-in reads from them.
struct BadHeader {
  const char* name;
  std::string bytes;
  const char* size;
};

void PrintTo(const BadHeader& header, std::ostream* out) {
  *out << header.name;
}

class BadHeaderTest : public MisbehavingController,
                      public ::testing::WithParamInterface<BadHeader> {};

// A header announcing more than 100000 bytes ends the session; the error is reported on the
// connection, which stays up, and maxsim exits.
TEST_P(BadHeaderTest, EndsTheSessionWithTheSizeError) {
  connect();
  controller.sendRaw(GetParam().bytes);
  EXPECT_EQ(controller.receive(waitMs),
            std::string("ERROR: Exception caught in 3ds max: simple_socket::receive: Invalid "
                        "packet size (given ") +
                GetParam().size + ")");
  const ProcessResult ended = waitForExit();
  EXPECT_EQ(ended.status, 0) << ended.err;
  EXPECT_EQ(ended.out, "false\n");
}

INSTANTIATE_TEST_SUITE_P(
    Headers, BadHeaderTest,
    ::testing::Values(BadHeader{"OneByteTooLarge", std::string("\x00\x01\x86\xA1", 4), "100001"},
                      BadHeader{"AllOnes", std::string("\xFF\xFF\xFF\xFF", 4), "-1"},
                      // A command line sent without its header: "Rend" is read as the size.
                      BadHeader{"CommandWithoutHeader", "RenderTask,1", "1382379108"}),
    [](const ::testing::TestParamInfo<BadHeader>& test) { return test.param.name; });

/// A packet of bytes that is no command line, and what the plug-in answers.
struct BadLine {
  const char* name;
  std::string payload;
  std::string reply;
  bool sessionEnds;
};

void PrintTo(const BadLine& line, std::ostream* out) {
  *out << line.name;
}

class BadLineTest : public MisbehavingController, public ::testing::WithParamInterface<BadLine> {};

// Bytes that split into fields name an unknown command, and the session serves on; bytes with a
// bad escape cannot be split, and the session ends with the splitter's error.
TEST_P(BadLineTest, IsAnsweredAsDocumented) {
  const BadLine& line = GetParam();
  connect();
  controller.send(line.payload);
  EXPECT_EQ(controller.receive(waitMs), line.reply);
  if (line.sessionEnds) {
    EXPECT_EQ(waitForExit().out, "false\n");
    return;
  }
  EXPECT_EQ(controller.command("RenderTask,3", waitMs),
            Transcript{"ERROR: RenderTask: Called without being in a job."});
  EXPECT_EQ(finish().out, "true\n");
}

INSTANTIATE_TEST_SUITE_P(
    Lines, BadLineTest,
    ::testing::Values(
        // A quote opened in the first field runs to the end of the line, commas and all.
        BadLine{"BinaryBytes", std::string("\x00\x01\xFE\xFF\"ab\x7F,,\x80", 11),
                "ERROR: Unexpected command \"" +
                    std::string("\x00\x01\xFE\xFF"
                                "ab\x7F,,\x80",
                                10) +
                    "\" received.",
                false},
        BadLine{"Empty", "", "ERROR: Unexpected command \"\" received.", false},
        BadLine{"UnknownEscape", std::string("\x13\\q\x90", 4),
                "ERROR: Exception caught in 3ds max: unknown escape sequence", true},
        BadLine{"EndsInEscape", std::string("\xC3\x28,\\", 4),
                "ERROR: Exception caught in 3ds max: cannot end with escape", true}),
    [](const ::testing::TestParamInfo<BadLine>& test) { return test.param.name; });

}  // namespace

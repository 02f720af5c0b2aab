// One session against a controller on loopback: handshake, the idle loop, commands and hang-up.
#include "session/session.h"

#include "controller/link/controller_link.h"
#include "session/global_socket.h"
#include "session/version_line.h"
#include "support/log_capture.h"
#include "support/message_of.h"
#include "support/thread_work.h"

#include <windows.h>

#include <boost/tokenizer.hpp>
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <regex>
#include <thread>

namespace {

using namespace moonstone;
using tangram::win32::simple_socket_error;
using tangram::win32::simple_socket_timeout_error;

const int waitMs = 10000;

// A value that one thread hands to another. (Not std::promise: in the Windows build its call_once
// keeps state in the runtime's emulated thread-local storage, which clang's code does not reach.)
template <typename T>
class HandOff {
 public:
  void give(T value) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      value_ = value;
    }
    given_.notify_all();
  }
  /// The value once it is given, or nothing after `ms` milliseconds.
  std::optional<T> take(int ms) {
    std::unique_lock<std::mutex> lock(mutex_);
    given_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return value_.has_value(); });
    return value_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable given_;
  std::optional<T> value_;
};

// runSession on a thread of its own, as the host thread that called the daemon.
class SessionThread {
 public:
  SessionThread(int port, const std::string& token) {
    thread_ = std::thread([this, port, token] {
      // The thread's message queue, as the host thread has, before anything is posted to it.
      MSG message;
      PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
      threadId_.give(GetCurrentThreadId());
      try {
        runSession(port, token);
      } catch (...) {
        error_ = std::current_exception();
      }
    });
    id_ = threadId_.take(waitMs).value();
  }
  ~SessionThread() {
    if (thread_.joinable()) thread_.join();
  }

  DWORD id() const { return id_; }

  /// Waits for the session to end and rethrows what ended it, if anything.
  void join() {
    thread_.join();
    if (error_) std::rethrow_exception(error_);
  }

 private:
  HandOff<DWORD> threadId_;
  DWORD id_ = 0;
  std::exception_ptr error_;
  std::thread thread_;
};

class SessionTest : public ::testing::Test {
 protected:
  void TearDown() override { globalSocket.close(true); }

  LogCapture log;
  controller::ControllerLink controller;
};

TEST(VersionLineTest, CarriesTheVersionAndBuildStampsInTheirFixedForms) {
  const std::regex form(
      "Moonstone 2\\.7\\.29981 (Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) "
      "[ 123][0-9] [0-9]{4} [0-2][0-9]:[0-5][0-9]:[0-5][0-9] R");
  EXPECT_TRUE(std::regex_match(versionLine(), form)) << versionLine();
  EXPECT_EQ(versionLine(),
            std::string("Moonstone 2.7.29981 ") + buildDate + " " + buildTime + " R");
}

TEST_F(SessionTest, RightGreetingGetsExactlyTheVersionLineAndHangUpEndsNormally) {
  SessionThread session(controller.port(), "token-1234");
  controller.accept(waitMs);
  const auto [token, version] = controller.handshake(waitMs);
  EXPECT_EQ(token, "token-1234");
  EXPECT_EQ(version, versionLine());
  controller.hangUp();
  EXPECT_NO_THROW(session.join());
  EXPECT_FALSE(globalSocket.is_connected());
}

TEST_F(SessionTest, WrongGreetingGetsTheIncompatibilityLineAndEndsTheSession) {
  for (const char* greeting : {"foxglovestartup", "FoxgloveStartup "}) {
    controller::ControllerLink link;
    SessionThread session(link.port(), "t");
    link.accept(waitMs);
    const auto [token, reply] = link.handshake(waitMs, greeting);
    EXPECT_EQ(reply, versionLine() + "   Incompatible plugin versions detected, exiting.");
    EXPECT_EQ(messageOf<std::runtime_error>([&] { session.join(); }),
              "Incorrect handshake with Foxglove plugin.");
    EXPECT_TRUE(globalSocket.is_connected());  // left open for the daemon's error reply
    globalSocket.close(true);
  }
}

TEST_F(SessionTest, SilenceAfterTheTokenEndsTheSessionWithTheHeaderTimeout) {
  SessionThread session(controller.port(), "t");
  controller.accept(waitMs);
  EXPECT_EQ(controller.receive(waitMs), "t");
  EXPECT_EQ(messageOf<simple_socket_timeout_error>([&] { session.join(); }),
            "simple_socket: Timed out waiting for header packet to arrive.");
}

TEST_F(SessionTest, NoControllerListeningFailsTheConnect) {
  const int port = controller.port();
  controller.hangUp();  // stops listening: nothing answers at the port now
  SessionThread session(port, "t");
  EXPECT_EQ(messageOf<simple_socket_error>([&] { session.join(); }),
            "connect: Failed to connect to server at port " + std::to_string(port));
}

TEST_F(SessionTest, IdleSessionPumpsTheHostsMessagesAndLogsEachCommand) {
  SessionThread session(controller.port(), "t");
  controller.accept(waitMs);
  controller.handshake(waitMs);

  // The controller is silent: work posted to the host thread still gets done, on that thread.
  for (int round = 0; round < 3; ++round) {
    HandOff<DWORD> ranOn;
    ASSERT_TRUE(postThreadWork(session.id(), [&ranOn] { ranOn.give(GetCurrentThreadId()); }));
    EXPECT_EQ(ranOn.take(waitMs), session.id());
  }

  controller.send("RenderTask,12");
  controller.send("SetFrameNumberBase,\"10,00\"");
  // Each command is logged before it is answered: once both answers are in, both are logged.
  // (Work posted to the loop is no such barrier: it may run in a pump before the commands arrive.)
  EXPECT_EQ(controller.receive(waitMs), "ERROR: RenderTask: Called without being in a job.");
  EXPECT_EQ(controller.receive(waitMs),
            "ERROR: Unexpected command \"SetFrameNumberBase\" received.");
  controller.hangUp();
  session.join();

  const std::string text = log.text();
  EXPECT_NE(text.find("\nGot command: RenderTask,12\n\n"), std::string::npos) << text;
  EXPECT_NE(text.find("\nGot command: SetFrameNumberBase,\"10,00\"\n\n"), std::string::npos);
  EXPECT_LT(text.find("RenderTask,12"), text.find("SetFrameNumberBase"));
}

TEST_F(SessionTest, ALineWithAnUnknownEscapeEndsTheSessionWithTheTokenizerError) {
  SessionThread session(controller.port(), "t");
  controller.accept(waitMs);
  controller.handshake(waitMs);
  controller.send("ExecuteScript,c:\\scripts\\a.ms,true");
  EXPECT_EQ(messageOf<boost::escaped_list_error>([&] { session.join(); }),
            "unknown escape sequence");
  EXPECT_TRUE(globalSocket.is_connected());
}

TEST_F(SessionTest, WithoutALogFolderTheSessionIsServedAllTheSame) {
  logStream.close();
  logStream.clear();
  std::filesystem::remove_all(log.drive() / "Foxglove");
  openLogFile(logStream);
  EXPECT_FALSE(logStream.is_open());

  SessionThread session(controller.port(), "t");
  controller.accept(waitMs);
  EXPECT_EQ(controller.handshake(waitMs).second, versionLine());
  controller.send("EndJob");
  EXPECT_EQ(controller.receive(waitMs),
            "ERROR: EndJob called when consistency check flag jobRunning was not set");
  EXPECT_EQ(controller.receive(waitMs), "SUCCESS");
  controller.hangUp();
  EXPECT_NO_THROW(session.join());
  EXPECT_FALSE(std::filesystem::exists(log.file()));
}

}  // namespace

// The controller's command loop over a real socket: what it sends when, and how hooks end it.
#include "controller/link/controller_link.h"

#include <gtest/gtest.h>

namespace {

using controller::CommandHooks;
using controller::Transcript;

const int waitMs = 10000;

/// A controller link with the plug-in's end connected to it on the test's own thread; packets
/// the plug-in sends before a command wait in the socket until the command reads them.
class CommandLoopTest : public ::testing::Test {
 protected:
  void SetUp() override {
    plugin.connect("127.0.0.1", link.port());
    link.accept(waitMs);
  }

  controller::ControllerLink link;
  tangram::win32::simple_socket plugin;
};

TEST_F(CommandLoopTest, AnOptionCommandIsOnlySent) {
  EXPECT_EQ(link.command("HideFrameBuffer,true", waitMs), Transcript{});
  EXPECT_EQ(plugin.receive(waitMs), "HideFrameBuffer,true");
}

TEST_F(CommandLoopTest, ARequestIsAnsweredBeforeAnyHookHearsOfIt) {
  plugin.send("FUNCTION: PROGRESS 50");
  plugin.send("SUCCESS");
  std::vector<std::string> heardByPlugin;
  CommandHooks hooks;
  hooks.onRequest = [&](const controller::Request&, const std::optional<std::string>& answer) {
    ASSERT_EQ(answer, std::optional<std::string>("CONTINUE"));
    heardByPlugin.push_back(plugin.receive(waitMs));
    heardByPlugin.push_back(plugin.receive(waitMs));
  };
  std::vector<std::string> replies;
  hooks.onReply = [&](const std::string& reply) { replies.push_back(reply); };
  EXPECT_TRUE(link.command("EndJob", waitMs, hooks));
  EXPECT_EQ(heardByPlugin, (std::vector<std::string>{"EndJob", "CONTINUE"}));
  EXPECT_EQ(replies, std::vector<std::string>{"SUCCESS"});
}

TEST_F(CommandLoopTest, HooksEndACommandUnfinished) {
  CommandHooks hooks;
  int silences = 0;
  hooks.nextWaitMs = [] { return 1; };
  hooks.onSilence = [&silences] { return ++silences < 3; };
  EXPECT_FALSE(link.command("EndJob", waitMs, hooks));
  EXPECT_EQ(silences, 3);

  // A stop is asked for before each wait: a packet already there is left unread.
  plugin.send("SUCCESS");
  hooks.stop = [] { return true; };
  EXPECT_FALSE(link.command("EndJob", waitMs, hooks));
  EXPECT_EQ(link.receive(waitMs), "SUCCESS");
}

TEST_F(CommandLoopTest, WithoutASilenceHookATimeoutIsThrown) {
  EXPECT_THROW(link.command("EndJob", 1), tangram::win32::simple_socket_timeout_error);
}

}  // namespace

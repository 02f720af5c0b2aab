// Faults that no guard accepts go where they would have gone without guards.
#include "support/code_page.h"
#include "support/faults.h"

#include <windows.h>

#include "win32/seh_guard.h"

#include <gtest/gtest.h>

#include <csignal>
#include <thread>

namespace {

int decline(EXCEPTION_POINTERS*) {
  return EXCEPTION_CONTINUE_SEARCH;
}
int accept(EXCEPTION_POINTERS*) {
  return EXCEPTION_EXECUTE_HANDLER;
}

void set_disposition(int signo, void (*handler)(int)) {
  struct sigaction action {};
  action.sa_handler = handler;
  sigemptyset(&action.sa_mask);
  sigaction(signo, &action, nullptr);
}

void exit42(int) {
  _exit(42);
}

TEST(DeclinedFaultTest, KillsTheProcessWithTheSignalWhenNothingElseHandlesIt) {
  const int status = faults::status_of_child([] {
    set_disposition(SIGSEGV, SIG_DFL);
    standin::seh_try([] { standin::seh_try([] { faults::read_at(0); }, decline); }, decline);
  });
  ASSERT_TRUE(WIFSIGNALED(status));
  EXPECT_EQ(WTERMSIG(status), SIGSEGV);
}

TEST(DeclinedFaultTest, ReachesTheHandlerTheHostInstalled) {
  const int status = faults::status_of_child([] {
    set_disposition(SIGFPE, exit42);
    standin::seh_try([] { faults::divide(1, 0); }, decline);
  });
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 42);
}

TEST(DeclinedFaultTest, AFaultOnAThreadWithoutGuardGoesToTheHostWhileAnotherThreadIsGuarded) {
  const int status = faults::status_of_child([] {
    set_disposition(SIGSEGV, exit42);
    standin::seh_try(
        [] {
          // This thread holds a guard while the other one faults without one.
          std::thread([] { faults::read_at(0); }).join();
        },
        accept);
  });
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 42);
}

}  // namespace

// A declined fault is not survived: a float underflow in a trapped call ends the process (forked).
#include "support/code_page.h"

#include "render/fault_filter.h"
#include "render/trapped_call.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fenv.h>

namespace {

using namespace moonstone;

TEST(DeclinedUnderflowTest, AFloatUnderflowIsNotTrappedAndEndsTheProcess) {
  std::string lastFaultDescription;
  const FaultFilter filter{lastFaultDescription};
  std::string errorText;
  const int status = faults::status_of_child([&] {
    signal(SIGFPE, SIG_DFL);
    trappedCall("RenderFrame", errorText, filter, [] {
      feenableexcept(FE_UNDERFLOW);
      volatile double tiny = 1e-300;
      volatile double product = tiny * tiny;
      (void)product;
    });
  });
  ASSERT_TRUE(WIFSIGNALED(status));
  EXPECT_EQ(WTERMSIG(status), SIGFPE);
}

}  // namespace

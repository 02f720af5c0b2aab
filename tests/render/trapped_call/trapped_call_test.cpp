// Trapped host calls and the fault filter: results, error texts, stored reports, declined codes.
#include "support/cxx_exception_code.h"
#include "support/wine.h"
#include "support/faults.h"

#include "render/fault_filter.h"
#include "render/trapped_call.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <stdexcept>

namespace {

using namespace moonstone;

class TrappedCallTest : public ::testing::Test {
 protected:
  std::string lastFaultDescription = "No message";
  FaultFilter filter{lastFaultDescription};
  std::string errorText = "left over from an earlier call";
};

TEST_F(TrappedCallTest, ACallThatReturnsGivesItsResultAndNoError) {
  const int result = trappedCall("LoadFromFile", errorText, filter, 0, [] { return 7; });
  EXPECT_EQ(result, 7);
  EXPECT_EQ(errorText, "");
  EXPECT_EQ(lastFaultDescription, "No message");
}

TEST_F(TrappedCallTest, AnAccessViolationGivesTheFaultResultAndNamesTheOperation) {
  const int result = trappedCall("RenderFrame", errorText, filter, 1, [] {
    faults::write_at(0x10);
    return 0;
  });
  EXPECT_EQ(result, 1);
  EXPECT_EQ(errorText, "Trapped SEH Exception in RenderFrame(): Access Violation");
  EXPECT_EQ(lastFaultDescription.rfind("Process:  ", 0), 0u);
  EXPECT_NE(lastFaultDescription.find("\nException Code:  C0000005\n"), std::string::npos);
}

TEST_F(TrappedCallTest, ACallWithoutResultReportsItsFaultInTheErrorText) {
  trappedCall("EndJob", errorText, filter, [] { faults::divide(3, 0); });
  EXPECT_EQ(errorText, "Trapped SEH Exception in EndJob(): Integer Divide By Zero");
}

TEST_F(TrappedCallTest, AStackOverflowIsTrapped) {
  if (runningUnderWine()) GTEST_SKIP() << "Wine ends the process on a stack overflow in a guard";
  trappedCall("CurRendererRenderFrame", errorText, filter, [] { faults::recurse(0); });
  EXPECT_EQ(errorText, "Trapped SEH Exception in CurRendererRenderFrame(): Stack Overflow");
}

TEST_F(TrappedCallTest, AThrownErrorPassesThroughButLeavesItsReport) {
  std::string caught;
  try {
    trappedCall("StartJob", errorText, filter, [] { throw std::runtime_error("Scene not found"); });
  } catch (const std::runtime_error& error) {
    caught = error.what();
  }
  EXPECT_EQ(caught, "Scene not found");
  EXPECT_EQ(errorText, "");
  EXPECT_EQ(lastFaultDescription.rfind("Process:  ", 0), 0u);
  char code[32];
  std::snprintf(code, sizeof code, "\nException Code:  %08lX\n", cxxExceptionCode);
  EXPECT_NE(lastFaultDescription.find(code), std::string::npos) << lastFaultDescription;
}

TEST_F(TrappedCallTest, AHealthyCallAfterATrappedFloatFaultRunsWithTheFloatStateItHadBefore) {
  // 32-bit Windows reports every SSE fault as Float Multiple Traps (0xC00002B5), which the
  // filter declines; there the x87 unit raises the inexact result.
  if constexpr (sizeof(void*) == 8) {
    trappedCall("RenderFrame", errorText, filter, [] { faults::unmasked_inexact_division(); });
  } else {
    trappedCall("RenderFrame", errorText, filter, [] { faults::unmasked_x87_inexact_division(); });
  }
  EXPECT_EQ(errorText, "Trapped SEH Exception in RenderFrame(): Float Inexact Result");
  trappedCall("RenderFrame", errorText, filter, [] { faults::x87_stack_overflow(); });
  EXPECT_EQ(errorText, "Trapped SEH Exception in RenderFrame(): Float Stack Check");
  const double third = trappedCall("RenderFrame", errorText, filter, 0.0, [] {
    volatile double one = 1.0, three = 3.0;
    volatile long double x87One = 1.0L, x87Three = 3.0L;
    return static_cast<double>(one / three + static_cast<double>(x87One / x87Three));
  });
  EXPECT_EQ(errorText, "");
  EXPECT_NEAR(third, 2.0 / 3.0, 1e-12);
}

TEST(FaultFilterTest, AcceptsExactlyTheHardwareFaultCodes) {
  for (DWORD code : {0x80000002u, 0xC0000005u, 0xC0000006u, 0xC000001Du, 0xC000008Cu, 0xC000008Du,
                     0xC000008Eu, 0xC000008Fu, 0xC0000090u, 0xC0000091u, 0xC0000092u, 0xC0000094u,
                     0xC0000095u, 0xC0000096u, 0xC00000FDu}) {
    EXPECT_TRUE(FaultFilter::traps(code)) << std::hex << code;
  }
  for (DWORD code :
       {0xC0000093u, 0xE06D7363u, 0x20474343u, 0x80000003u, 0xC0000097u, 0xC000008Bu, 0u}) {
    EXPECT_FALSE(FaultFilter::traps(code)) << std::hex << code;
  }
}

TEST(FaultFilterTest, StoresTheReportOfEveryExceptionAndAnswersByItsCode) {
  std::string description = "No message";
  const FaultFilter filter(description);
  EXCEPTION_RECORD record{};
  CONTEXT context{};
  EXCEPTION_POINTERS pointers{&record, &context};
  record.ExceptionCode = EXCEPTION_FLT_UNDERFLOW;
  EXPECT_EQ(filter(&pointers), EXCEPTION_CONTINUE_SEARCH);
  EXPECT_NE(description.find("Exception Code:  C0000093"), std::string::npos);
  record.ExceptionCode = EXCEPTION_FLT_OVERFLOW;
  EXPECT_EQ(filter(&pointers), EXCEPTION_EXECUTE_HANDLER);
  EXPECT_NE(description.find("Exception Code:  C0000091"), std::string::npos);
}

}  // namespace

// The 32-bit guard among the frames that other code registers on the thread's exception chain.
#include "support/faults.h"

#include "render/fault_filter.h"
#include "render/seh_guard.h"

#include <intrin.h>

#include <gtest/gtest.h>

namespace {

using namespace moonstone;

EXCEPTION_REGISTRATION_RECORD* chainHead() {
  return reinterpret_cast<EXCEPTION_REGISTRATION_RECORD*>(__readfsdword(0));
}

// What a host frame's handler was called for.
struct HostCalls {
  bool handles = false;  // resumes after a raise, or declines
  int unwinds = 0;
  DWORD searched = 0;
};

// A frame handler as host code registers it: the record lies in the registering frame.
struct HostFrame {
  EXCEPTION_REGISTRATION_RECORD registration;
  HostCalls* calls;
};

EXCEPTION_DISPOSITION NTAPI hostHandler(EXCEPTION_RECORD* record, void* establisher, CONTEXT*,
                                        void*) {
  HostCalls& calls = *static_cast<HostFrame*>(establisher)->calls;
  if (record->ExceptionFlags & EXCEPTION_UNWINDING) {
    ++calls.unwinds;
    return ExceptionContinueSearch;
  }
  calls.searched = record->ExceptionCode;
  return calls.handles ? ExceptionContinueExecution : ExceptionContinueSearch;
}

// Registers a host frame in the frame that declares it, for as long as it lives (unless a fault
// abandons it).
class Registered {
 public:
  explicit Registered(HostCalls& calls) : frame_{{}, &calls} {
    frame_.registration.Handler = hostHandler;
    frame_.registration.Next = chainHead();
    __writefsdword(0, reinterpret_cast<DWORD>(&frame_.registration));
  }
  ~Registered() { __writefsdword(0, reinterpret_cast<DWORD>(frame_.registration.Next)); }
  Registered(const Registered&) = delete;
  Registered& operator=(const Registered&) = delete;

 private:
  HostFrame frame_;
};

class SehFrameGuardTest : public ::testing::Test {
 protected:
  std::string report;
  FaultFilter filter{report};
  DWORD code = 0;
};

TEST_F(SehFrameGuardTest, AFaultUnderAHostFrameUnwindsItAndLeavesTheChainAsItWas) {
  EXCEPTION_REGISTRATION_RECORD* const before = chainHead();
  HostCalls inner;
  const bool returned = runGuarded(
      [&inner] {
        Registered registered(inner);
        faults::write_at(0x10);
      },
      filter, code);
  EXPECT_FALSE(returned);
  EXPECT_EQ(code, EXCEPTION_ACCESS_VIOLATION);
  EXPECT_EQ(inner.searched, EXCEPTION_ACCESS_VIOLATION) << "the host's frame is asked first";
  EXPECT_EQ(inner.unwinds, 1) << "the abandoned frame's handler runs its unwinding";
  EXPECT_EQ(chainHead(), before);
}

TEST_F(SehFrameGuardTest, ADeclinedExceptionGoesOnToTheHostsOwnHandler) {
  HostCalls outer;
  outer.handles = true;
  bool returned = false;
  {
    Registered registered(outer);
    returned = runGuarded([] { RaiseException(0xE0000001, 0, 0, nullptr); }, filter, code);
  }
  EXPECT_TRUE(returned) << "the host's handler resumed after the raise";
  EXPECT_EQ(outer.searched, 0xE0000001u);
  EXPECT_NE(report.find("\nException Code:  E0000001\n"), std::string::npos) << report;
}

TEST_F(SehFrameGuardTest, TheInnermostGuardTrapsAndTheOuterCallGoesOn) {
  DWORD innerCode = 0;
  bool innerReturned = true;
  const bool outerReturned = runGuarded(
      [&] { innerReturned = runGuarded([] { faults::divide(1, 0); }, filter, innerCode); }, filter,
      code);
  EXPECT_FALSE(innerReturned);
  EXPECT_EQ(innerCode, EXCEPTION_INT_DIVIDE_BY_ZERO);
  EXPECT_TRUE(outerReturned);
  EXPECT_EQ(code, 0u);
}

}  // namespace

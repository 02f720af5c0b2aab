// Fault signals that this processor cannot be made to raise, sent by the kernel to the thread
// itself.
#include <windows.h>

#include "win32/seh_guard.h"

#include <gtest/gtest.h>

#include <sys/syscall.h>
#include <unistd.h>

#include <csignal>

namespace {

struct SignalCode {
  const char* name;
  int signo;
  int signalCode;
  DWORD code;
};

void PrintTo(const SignalCode& signal, std::ostream* out) {
  *out << signal.name;
}

// Queues a signal with the given code to the calling thread; it is delivered when the system
// call returns, as a fault would be. Only a process's own threads may be sent such codes.
void raise_with_code(int signo, int signalCode) {
  siginfo_t info{};
  info.si_signo = signo;
  info.si_code = signalCode;
  syscall(SYS_rt_tgsigqueueinfo, getpid(), static_cast<pid_t>(syscall(SYS_gettid)), signo, &info);
}

class SignalCodeTest : public ::testing::TestWithParam<SignalCode> {};

TEST_P(SignalCodeTest, GivesTheWindowsCode) {
  const SignalCode& sent = GetParam();
  DWORD seen = 0;
  const auto result = standin::seh_try([&] { raise_with_code(sent.signo, sent.signalCode); },
                                       [&seen](EXCEPTION_POINTERS* pointers) {
                                         seen = pointers->ExceptionRecord->ExceptionCode;
                                         return EXCEPTION_EXECUTE_HANDLER;
                                       });
  EXPECT_EQ(result, std::optional<DWORD>(sent.code));
  EXPECT_EQ(seen, sent.code);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, SignalCodeTest,
    ::testing::Values(
        SignalCode{"IntegerOverflow", SIGFPE, FPE_INTOVF, EXCEPTION_INT_OVERFLOW},
        SignalCode{"FloatOverflow", SIGFPE, FPE_FLTOVF, EXCEPTION_FLT_OVERFLOW},
        SignalCode{"FloatUnderflow", SIGFPE, FPE_FLTUND, EXCEPTION_FLT_UNDERFLOW},
        SignalCode{"FloatInexact", SIGFPE, FPE_FLTRES, EXCEPTION_FLT_INEXACT_RESULT},
        SignalCode{"FloatInvalid", SIGFPE, FPE_FLTINV, EXCEPTION_FLT_INVALID_OPERATION},
        SignalCode{"Subscript", SIGFPE, FPE_FLTSUB, EXCEPTION_ARRAY_BOUNDS_EXCEEDED},
        SignalCode{"PrivilegedOpcode", SIGILL, ILL_PRVOPC, EXCEPTION_PRIV_INSTRUCTION},
        SignalCode{"PrivilegedRegister", SIGILL, ILL_PRVREG, EXCEPTION_PRIV_INSTRUCTION},
        SignalCode{"IllegalOperand", SIGILL, ILL_ILLOPN, EXCEPTION_ILLEGAL_INSTRUCTION},
        SignalCode{"Misalignment", SIGBUS, BUS_ADRALN, EXCEPTION_DATATYPE_MISALIGNMENT},
        SignalCode{"ObjectError", SIGBUS, BUS_OBJERR, EXCEPTION_IN_PAGE_ERROR}),
    [](const ::testing::TestParamInfo<SignalCode>& test) { return test.param.name; });

}  // namespace

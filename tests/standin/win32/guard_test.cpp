// The structured-exception guard with real faults: codes, records, nesting, language exceptions.
#include "support/code_page.h"
#include "support/faults.h"

#include <windows.h>

#include "win32/seh_guard.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <fenv.h>

#include <atomic>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace {

// What a filter saw of the exceptions that reached it.
struct Seen {
  std::vector<DWORD> codes;
  EXCEPTION_RECORD record{};
  CONTEXT context{};
};

auto accepting(Seen& seen) {
  return [&seen](EXCEPTION_POINTERS* pointers) {
    seen.codes.push_back(pointers->ExceptionRecord->ExceptionCode);
    seen.record = *pointers->ExceptionRecord;
    seen.context = *pointers->ContextRecord;
    return EXCEPTION_EXECUTE_HANDLER;
  };
}

auto declining(Seen& seen) {
  return [&seen](EXCEPTION_POINTERS* pointers) {
    seen.codes.push_back(pointers->ExceptionRecord->ExceptionCode);
    return EXCEPTION_CONTINUE_SEARCH;
  };
}

bool lies_in(PVOID address, const void* function, size_t length) {
  const auto start = reinterpret_cast<uintptr_t>(function);
  const auto at = reinterpret_cast<uintptr_t>(address);
  return at >= start && at < start + length;
}

struct RealFault {
  const char* name;
  void (*fault)();
  DWORD code;
  const void* function;  // the function the fault happens in
};

void PrintTo(const RealFault& fault, std::ostream* out) {
  *out << fault.name;
}

void readNull() {
  faults::read_at(0);
}
void writeLow() {
  faults::write_at(0x10);
}
void divideByZero() {
  faults::divide(7, 0);
}
void undefinedInstruction() {
  faults::illegal_instruction();
}
void overflowStack() {
  faults::recurse(0);
}

class RealFaultTest : public ::testing::TestWithParam<RealFault> {};

TEST_P(RealFaultTest, ReachesTheFilterAndTheGuardReturnsItsCode) {
  const RealFault& fault = GetParam();
  Seen seen;
  const auto result = standin::seh_try(fault.fault, accepting(seen));
  ASSERT_TRUE(result.has_value());
  EXPECT_EQ(*result, fault.code);
  ASSERT_EQ(seen.codes, std::vector<DWORD>{fault.code});
  EXPECT_EQ(seen.context.Rip, reinterpret_cast<ULONG_PTR>(seen.record.ExceptionAddress));
  if (fault.function != nullptr) {
    EXPECT_TRUE(lies_in(seen.record.ExceptionAddress, fault.function, 64));
  }
  // The thread goes on, and the next guard works as before.
  EXPECT_FALSE(standin::seh_try([] {}, accepting(seen)).has_value());
}

INSTANTIATE_TEST_SUITE_P(
    Faults, RealFaultTest,
    ::testing::Values(RealFault{"NullRead", readNull, EXCEPTION_ACCESS_VIOLATION,
                                reinterpret_cast<const void*>(&faults::read_at)},
                      RealFault{"WriteTo0x10", writeLow, EXCEPTION_ACCESS_VIOLATION,
                                reinterpret_cast<const void*>(&faults::write_at)},
                      RealFault{"IntegerDivisionByZero", divideByZero, EXCEPTION_INT_DIVIDE_BY_ZERO,
                                reinterpret_cast<const void*>(&faults::divide)},
                      RealFault{"IllegalInstruction", undefinedInstruction,
                                EXCEPTION_ILLEGAL_INSTRUCTION,
                                reinterpret_cast<const void*>(&faults::illegal_instruction)},
                      RealFault{"StackOverflow", overflowStack, EXCEPTION_STACK_OVERFLOW, nullptr}),
    [](const ::testing::TestParamInfo<RealFault>& test) { return test.param.name; });

TEST(AccessViolationTest, TellsReadsFromWritesAndGivesTheAddress) {
  Seen read;
  standin::seh_try([] { faults::read_at(0x20); }, accepting(read));
  EXPECT_EQ(read.record.NumberParameters, 2u);
  EXPECT_EQ(read.record.ExceptionInformation[0], 0u);
  EXPECT_EQ(read.record.ExceptionInformation[1], 0x20u);

  Seen write;
  standin::seh_try([] { faults::write_at(0x10); }, accepting(write));
  EXPECT_EQ(write.record.ExceptionInformation[0], 1u);
  EXPECT_EQ(write.record.ExceptionInformation[1], 0x10u);
}

TEST(FloatFaultTest, DivisionByZeroWithTheTrapEnabledIsAFloatFault) {
  Seen seen;
  volatile double zero = 0.0;
  const auto result = standin::seh_try(
      [&] {
        feenableexcept(FE_DIVBYZERO);
        volatile double quotient = 1.0 / zero;
        (void)quotient;
      },
      accepting(seen));
  fedisableexcept(FE_ALL_EXCEPT);
  feclearexcept(FE_ALL_EXCEPT);
  EXPECT_EQ(result, std::optional<DWORD>(EXCEPTION_FLT_DIVIDE_BY_ZERO));
}

TEST(InPageErrorTest, ReadingAMappedFileBeyondItsEndIsAnInPageError) {
  char path[] = "/tmp/moonstone-in-page-XXXXXX";
  const int fd = mkstemp(path);
  ASSERT_GE(fd, 0);
  unlink(path);
  // A page of an empty file: mapped, but there is nothing behind it.
  void* mapped = mmap(nullptr, 4096, PROT_READ, MAP_SHARED, fd, 0);
  close(fd);
  ASSERT_NE(mapped, MAP_FAILED);
  Seen seen;
  const auto result = standin::seh_try(
      [mapped] { faults::read_at(reinterpret_cast<uintptr_t>(mapped)); }, accepting(seen));
  munmap(mapped, 4096);
  EXPECT_EQ(result, std::optional<DWORD>(EXCEPTION_IN_PAGE_ERROR));
}

TEST(NestedGuardTest, OnlyTheInnermostGuardHandlesAFaultItAccepts) {
  Seen outer;
  Seen inner;
  std::optional<DWORD> innerResult;
  const auto outerResult = standin::seh_try(
      [&] { innerResult = standin::seh_try([] { faults::read_at(0); }, accepting(inner)); },
      accepting(outer));
  EXPECT_EQ(innerResult, std::optional<DWORD>(EXCEPTION_ACCESS_VIOLATION));
  EXPECT_FALSE(outerResult.has_value());
  EXPECT_TRUE(outer.codes.empty());
}

TEST(NestedGuardTest, AFaultTheInnerFilterDeclinesGoesToTheOuterGuard) {
  Seen outer;
  Seen inner;
  bool innerReturned = false;
  const auto outerResult = standin::seh_try(
      [&] {
        standin::seh_try([] { faults::divide(1, 0); }, declining(inner));
        innerReturned = true;
      },
      accepting(outer));
  EXPECT_EQ(outerResult, std::optional<DWORD>(EXCEPTION_INT_DIVIDE_BY_ZERO));
  EXPECT_FALSE(innerReturned);
  EXPECT_EQ(inner.codes, std::vector<DWORD>{EXCEPTION_INT_DIVIDE_BY_ZERO});
  EXPECT_EQ(outer.codes, std::vector<DWORD>{EXCEPTION_INT_DIVIDE_BY_ZERO});
}

TEST(LanguageExceptionTest, IsShownToEveryFilterOnItsWayAndArrivesUnchanged) {
  Seen outer;
  Seen inner;
  std::string caught;
  try {
    standin::seh_try(
        [&] { standin::seh_try([] { throw std::runtime_error("boom"); }, declining(inner)); },
        declining(outer));
  } catch (const std::runtime_error& error) {
    caught = error.what();
  }
  EXPECT_EQ(caught, "boom");
  EXPECT_EQ(inner.codes, std::vector<DWORD>{EXCEPTION_CPP_LANGUAGE});
  EXPECT_EQ(outer.codes, std::vector<DWORD>{EXCEPTION_CPP_LANGUAGE});
}

TEST(LanguageExceptionTest, AFilterThatAcceptsItEndsIt) {
  Seen seen;
  const auto result = standin::seh_try([] { throw std::logic_error("taken"); }, accepting(seen));
  EXPECT_EQ(result, std::optional<DWORD>(EXCEPTION_CPP_LANGUAGE));
}

TEST(ThreadGuardTest, EachThreadsFaultsGoToItsOwnGuards) {
  constexpr int faultsPerThread = 50;
  std::atomic<int> trapped{0};
  auto work = [&trapped](uintptr_t address) {
    for (int i = 0; i < faultsPerThread; ++i) {
      Seen seen;
      standin::seh_try([address] { faults::read_at(address); }, accepting(seen));
      if (seen.record.ExceptionInformation[1] == address) ++trapped;
    }
  };
  std::thread first(work, 0x100);
  std::thread second(work, 0x200);
  first.join();
  second.join();
  EXPECT_EQ(trapped.load(), 2 * faultsPerThread);
}

void hostHandler(int) {}

TEST(HandlerTest, TheHandlersFoundAreBackWhenTheLastGuardEnds) {
  struct sigaction host {};
  host.sa_handler = hostHandler;
  struct sigaction saved {};
  ASSERT_EQ(sigaction(SIGSEGV, &host, &saved), 0);

  struct sigaction during {};
  Seen seen;
  standin::seh_try(
      [&] {
        sigaction(SIGSEGV, nullptr, &during);
        faults::read_at(0);
      },
      accepting(seen));
  struct sigaction after {};
  sigaction(SIGSEGV, nullptr, &after);
  sigaction(SIGSEGV, &saved, nullptr);

  EXPECT_NE(during.sa_handler, hostHandler);
  EXPECT_EQ(after.sa_handler, hostHandler);
}

}  // namespace

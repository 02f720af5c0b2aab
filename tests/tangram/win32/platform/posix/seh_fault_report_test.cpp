// Fault reports of real faults (raised under the POSIX stand-in's guard) and of synthesized frame
// chains.
#include "support/report_lines.h"
#include "support/code_page.h"
#include "support/faults.h"

#include "tangram/win32/seh_fault_report.h"
#include "win32/seh_guard.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <algorithm>
#include <cstring>
#include <functional>

namespace {

struct FaultReport {
  std::vector<std::string> lines;
  uintptr_t address = 0;
};

// Runs work under a guard whose filter builds the report of the fault.
FaultReport report_of_fault(const std::function<void()>& work) {
  FaultReport result;
  std::string text;
  standin::seh_try(work, [&](EXCEPTION_POINTERS* pointers) {
    text = tangram::win32::seh_fault_report(pointers);
    result.address = reinterpret_cast<uintptr_t>(pointers->ExceptionRecord->ExceptionAddress);
    return EXCEPTION_EXECUTE_HANDLER;
  });
  EXPECT_EQ(text.rfind("Process:  ", 0), 0u) << text;
  result.lines = lines_of(text);
  return result;
}

uintptr_t base_of(const void* address) {
  Dl_info info{};
  dladdr(address, &info);
  return reinterpret_cast<uintptr_t>(info.dli_fbase);
}

std::string offset_text(uintptr_t offset) {
  char text[16];
  std::snprintf(text, sizeof(text), "%08X", static_cast<unsigned>(offset));
  return text;
}

std::string instruction_line(const unsigned char* bytes, size_t readable) {
  std::string line = "Instruction: ";
  for (size_t i = 0; i < 16; ++i) {
    char piece[8] = " ??";
    if (i < readable) std::snprintf(piece, sizeof(piece), " %02X", bytes[i]);
    line += piece;
  }
  return line;
}

bool has_line_starting(const std::vector<std::string>& lines, const std::string& start) {
  return std::any_of(lines.begin(), lines.end(),
                     [&](const std::string& line) { return line.rfind(start, 0) == 0; });
}

size_t line_index(const std::vector<std::string>& lines, const std::string& line) {
  return static_cast<size_t>(std::find(lines.begin(), lines.end(), line) - lines.begin());
}

TEST(SehFaultReportTest, WriteToAddress0x10InsideTheProgram) {
  const FaultReport report = report_of_fault([] { faults::write_at(0x10); });
  const std::string program = executable_path();
  const uintptr_t base = base_of(reinterpret_cast<const void*>(&faults::write_at));
  ASSERT_GE(report.lines.size(), 9u);
  EXPECT_EQ(report.lines[0], "Process:  " + program);
  EXPECT_EQ(report.lines[1], "Module:  " + program);
  EXPECT_EQ(report.lines[2], date_line_of(program));
  EXPECT_EQ(report.lines[3], "Exception Code:  C0000005");
  EXPECT_EQ(report.lines[4], "Write Address:  " + full_width(0x10));
  EXPECT_EQ(report.lines[5],
            instruction_line(reinterpret_cast<const unsigned char*>(report.address), 16));
  EXPECT_EQ(report.lines[6], "Call Stack:");
  EXPECT_EQ(report.lines[7], full_width(base) + "  " + program);
  EXPECT_EQ(report.lines[8], "  +" + offset_text(report.address - base) + "  Exception Offset");
}

TEST(SehFaultReportTest, ANullReadIsAReadOfAddressZero) {
  const FaultReport report = report_of_fault([] { faults::read_at(0); });
  ASSERT_GE(report.lines.size(), 5u);
  EXPECT_EQ(report.lines[3], "Exception Code:  C0000005");
  EXPECT_EQ(report.lines[4], "Read Address:  " + full_width(0));
}

TEST(SehFaultReportTest, AFaultInGeneratedCodeNamesTheAddressInsteadOfAModule) {
  faults::CodePage page;
  ASSERT_TRUE(page.mapped());
  const unsigned char* code = page.place(faults::writeTo0x10, sizeof(faults::writeTo0x10), 0);
  const FaultReport report = report_of_fault([code] { faults::CodePage::call(code); });
  const auto& lines = report.lines;
  EXPECT_FALSE(has_line_starting(lines, "Module:"));
  ASSERT_GE(lines.size(), 8u);
  EXPECT_EQ(lines[1], "Exception Addr:  " + full_width(reinterpret_cast<uintptr_t>(code)));
  EXPECT_EQ(lines[2], "Exception Code:  C0000005");
  EXPECT_EQ(lines[3], "Write Address:  " + full_width(0x10));
  EXPECT_EQ(lines[4], "Instruction:  88 04 25 10 00 00 00 C3 00 00 00 00 00 00 00 00");
  EXPECT_EQ(lines[5], "Call Stack:");
  // The first entry is the address alone, and the next one is another entry.
  EXPECT_EQ(lines[6], full_width(reinterpret_cast<uintptr_t>(code)));
  EXPECT_NE(lines[7].rfind("  +", 0), 0u);
}

TEST(SehFaultReportTest, InstructionBytesThatCannotBeReadArePrintedAsQuestionMarks) {
  faults::CodePage page;
  ASSERT_TRUE(page.mapped());
  const unsigned char* code =
      page.place_at_end(faults::undefinedInstruction, sizeof(faults::undefinedInstruction));
  const FaultReport report = report_of_fault([code] { faults::CodePage::call(code); });
  ASSERT_GE(report.lines.size(), 4u);
  EXPECT_EQ(report.lines[2], "Exception Code:  C000001D");
  EXPECT_EQ(report.lines[3], instruction_line(faults::undefinedInstruction, 2));
}

TEST(SehFaultReportTest, AJumpToAnUnreadableAddressGivesNoBytesAndNoStack) {
  const FaultReport report = report_of_fault(
      [] { faults::CodePage::call(reinterpret_cast<const unsigned char*>(uintptr_t{0x10})); });
  const auto& lines = report.lines;
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[1], "Exception Addr:  " + full_width(0x10));
  EXPECT_EQ(lines[lines.size() - 2], instruction_line(nullptr, 0));
  EXPECT_EQ(lines.back(), "Call Stack:");
}

TEST(SehFaultReportTest, ModulesAreMatchedAtFullPointerWidth) {
  // 4 GiB above the program's base, where a 32-bit difference would land inside the program.
  const uintptr_t base = base_of(reinterpret_cast<const void*>(&faults::write_at));
  faults::CodePage page(base + (uintptr_t{1} << 32));
  if (!page.mapped()) GTEST_SKIP() << "the address 4 GiB above the program is taken";
  const unsigned char* code = page.place(faults::writeTo0x10, sizeof(faults::writeTo0x10), 0);
  const FaultReport report = report_of_fault([code] { faults::CodePage::call(code); });
  ASSERT_GE(report.lines.size(), 2u);
  EXPECT_EQ(report.lines[1], "Exception Addr:  " + full_width(reinterpret_cast<uintptr_t>(code)));
}

// Frame records laid out as a frame-pointer chain leaves them, built by hand.
struct Record {
  const Record* next;
  const void* returnAddress;
};

class FrameChainTest : public ::testing::Test {
 protected:
  static constexpr size_t count = 26;

  void SetUp() override {
    for (size_t i = 0; i < count; ++i) {
      records_[i].next = i + 1 < count ? &records_[i + 1] : nullptr;
      records_[i].returnAddress = code_;
    }
    exception_.ExceptionCode = EXCEPTION_INT_DIVIDE_BY_ZERO;
    exception_.ExceptionAddress = const_cast<void*>(code_);
    context_.Rbp = reinterpret_cast<ULONG_PTR>(&records_[0]);
  }

  std::vector<std::string> report() {
    EXCEPTION_POINTERS pointers{&exception_, &context_};
    return lines_of(tangram::win32::seh_fault_report(&pointers));
  }

  std::vector<std::string> call_stack() {
    const auto lines = report();
    const size_t stack = line_index(lines, "Call Stack:");
    return std::vector<std::string>(lines.begin() + static_cast<long>(stack) + 1, lines.end());
  }

  static size_t entries(const std::vector<std::string>& stack) {
    return static_cast<size_t>(std::count_if(
        stack.begin(), stack.end(), [](const std::string& l) { return l.rfind("  +", 0) == 0; }));
  }

  const void* code_ = reinterpret_cast<const char*>(&faults::divide) + 1;
  Record records_[count];
  EXCEPTION_RECORD exception_{};
  CONTEXT context_{};
};

TEST_F(FrameChainTest, ALongChainGivesExactlyTwentyEntries) {
  const auto stack = call_stack();
  EXPECT_EQ(entries(stack), 20u);
  ASSERT_GE(stack.size(), 4u);
  const uintptr_t base = base_of(code_);
  const std::string offset = "  +" + offset_text(reinterpret_cast<uintptr_t>(code_) - base);
  EXPECT_EQ(stack[0], full_width(base) + "  " + executable_path());
  EXPECT_EQ(stack[1], offset + "  Exception Offset");
  // Record 1 is records_[0]; the five words above it are the first words of records_[1].
  DWORD words[5];
  std::memcpy(words, &records_[1], sizeof(words));
  char arguments[128];
  std::snprintf(arguments, sizeof(arguments), "  (%X, %X, %X, %X, %X)", words[0], words[1],
                words[2], words[3], words[4]);
  EXPECT_EQ(stack[3], offset + arguments);
}

TEST_F(FrameChainTest, EndsAtAReturnAddressOutsideCode) {
  static const int data = 0;
  records_[2].returnAddress = &data;
  EXPECT_EQ(entries(call_stack()), 3u);
}

TEST_F(FrameChainTest, EndsAtARecordThatCannotBeRead) {
  records_[4].next = reinterpret_cast<const Record*>(uintptr_t{0x10});
  EXPECT_EQ(entries(call_stack()), 6u);
}

TEST_F(FrameChainTest, AnAddressInASharedLibraryNamesThatLibrary) {
  code_ = reinterpret_cast<const void*>(&IsBadReadPtr);
  SetUp();
  const auto lines = report();
  Dl_info library{};
  dladdr(code_, &library);
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[1], std::string("Module:  ") + library.dli_fname);
  EXPECT_EQ(lines[2], date_line_of(library.dli_fname));
}

}  // namespace

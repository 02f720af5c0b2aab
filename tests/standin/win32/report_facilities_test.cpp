// The Windows facilities behind fault reports: module snapshots and names, memory probes,
// wsprintfA.
#include "support/faults.h"

#include <windows.h>

#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <sys/mman.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

std::string executable_path() {
  char path[4096];
  const ssize_t length = readlink("/proc/self/exe", path, sizeof(path));
  return std::string(path, length > 0 ? static_cast<size_t>(length) : 0);
}

std::vector<MODULEENTRY32> snapshot_modules() {
  std::vector<MODULEENTRY32> modules;
  const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, 0);
  EXPECT_NE(snapshot, INVALID_HANDLE_VALUE);
  MODULEENTRY32 entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = Module32First(snapshot, &entry); more; more = Module32Next(snapshot, &entry)) {
    modules.push_back(entry);
  }
  EXPECT_EQ(GetLastError(), ERROR_NO_MORE_FILES);
  EXPECT_TRUE(CloseHandle(snapshot));
  return modules;
}

TEST(ModuleSnapshotTest, ListsTheProgramFirstAndEveryLibraryWithItsRange) {
  const auto modules = snapshot_modules();
  ASSERT_GE(modules.size(), 2u);
  EXPECT_EQ(modules[0].szExePath, executable_path());
  Dl_info library{};
  ASSERT_NE(dladdr(reinterpret_cast<const void*>(&IsBadReadPtr), &library), 0);
  bool found = false;
  for (const auto& module : modules) {
    if (std::string(module.szExePath) != library.dli_fname) continue;
    found = true;
    EXPECT_EQ(module.modBaseAddr, library.dli_fbase);
    const auto offset = reinterpret_cast<uintptr_t>(&IsBadReadPtr) -
                        reinterpret_cast<uintptr_t>(module.modBaseAddr);
    EXPECT_LT(offset, module.modBaseSize);
    EXPECT_EQ(std::string(module.szModule), "libwin32standin.so");
  }
  EXPECT_TRUE(found);
}

TEST(ModuleSnapshotTest, RefusesOtherProcessesAndShortEntries) {
  EXPECT_EQ(CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, static_cast<DWORD>(getpid()) + 1),
            INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, 0);
  MODULEENTRY32 entry{};
  entry.dwSize = sizeof(entry) - 4;
  EXPECT_FALSE(Module32First(snapshot, &entry));
  EXPECT_EQ(GetLastError(), ERROR_BAD_LENGTH);
  EXPECT_TRUE(CloseHandle(snapshot));
  EXPECT_FALSE(CloseHandle(snapshot));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

TEST(ModuleFileNameTest, NamesTheProgramAndCutsAtTheBufferSize) {
  const std::string program = executable_path();
  char name[MAX_PATH];
  EXPECT_EQ(GetModuleFileNameA(nullptr, name, MAX_PATH), program.size());
  EXPECT_EQ(std::string(name), program);
  char shortName[5];
  EXPECT_EQ(GetModuleFileNameA(nullptr, shortName, sizeof(shortName)), sizeof(shortName));
  EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
  EXPECT_EQ(std::string(shortName), program.substr(0, 4));
  const auto modules = snapshot_modules();
  ASSERT_GE(modules.size(), 2u);
  EXPECT_GT(GetModuleFileNameA(modules[1].hModule, name, MAX_PATH), 0u);
  EXPECT_EQ(std::string(name), modules[1].szExePath);
}

class MemoryProbeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    page_ = static_cast<size_t>(sysconf(_SC_PAGESIZE));
    void* memory =
        mmap(nullptr, 2 * page_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(memory, MAP_FAILED);
    pages_ = static_cast<char*>(memory);
    mprotect(pages_ + page_, page_, PROT_NONE);
  }
  void TearDown() override { munmap(pages_, 2 * page_); }

  size_t page_ = 0;
  char* pages_ = nullptr;  // a readable page, then one that is not
};

TEST_F(MemoryProbeTest, ReadabilityIsTestedOnEveryPageOfTheRange) {
  EXPECT_FALSE(IsBadReadPtr(pages_, page_));
  EXPECT_TRUE(IsBadReadPtr(pages_ + page_ - 1, 2));
  EXPECT_TRUE(IsBadReadPtr(pages_ + page_, 1));
  EXPECT_TRUE(IsBadReadPtr(nullptr, 1));
  EXPECT_FALSE(IsBadReadPtr(nullptr, 0));
  EXPECT_TRUE(IsBadReadPtr(reinterpret_cast<const void*>(UINTPTR_MAX - 1), 4));
}

FARPROC code_at(uintptr_t address) {
  return reinterpret_cast<FARPROC>(address);
}

TEST_F(MemoryProbeTest, OnlyExecutableMemoryHoldsCode) {
  EXPECT_FALSE(IsBadCodePtr(code_at(reinterpret_cast<uintptr_t>(&faults::divide))));
  EXPECT_FALSE(IsBadCodePtr(code_at(reinterpret_cast<uintptr_t>(&IsBadCodePtr))));
  EXPECT_TRUE(IsBadCodePtr(code_at(reinterpret_cast<uintptr_t>(pages_))));
  EXPECT_TRUE(IsBadCodePtr(code_at(0x10)));
}

TEST_F(MemoryProbeTest, ReadProcessMemoryCopiesOnlyWhatCanBeRead) {
  std::memcpy(pages_ + page_ - 4, "abcd", 4);
  char copy[8] = {};
  SIZE_T copied = 99;
  EXPECT_TRUE(ReadProcessMemory(GetCurrentProcess(), pages_ + page_ - 4, copy, 4, &copied));
  EXPECT_EQ(copied, 4u);
  EXPECT_EQ(std::string(copy, 4), "abcd");
  EXPECT_FALSE(ReadProcessMemory(GetCurrentProcess(), pages_ + page_ - 4, copy, 8, &copied));
  EXPECT_EQ(GetLastError(), ERROR_PARTIAL_COPY);
  EXPECT_EQ(copied, 0u);
}

struct Formatted {
  const char* name;
  std::string (*format)(char* buffer);
  const char* expected;
};

void PrintTo(const Formatted& formatted, std::ostream* out) {
  *out << formatted.name;
}

class WsprintfTest : public ::testing::TestWithParam<Formatted> {};

TEST_P(WsprintfTest, FormatsLikeWindows) {
  char buffer[1024];
  const std::string result = GetParam().format(buffer);
  EXPECT_EQ(result, GetParam().expected);
}

template <typename... Arguments>
std::string format(char* buffer, const char* pattern, Arguments... arguments) {
  const int length = wsprintfA(buffer, pattern, arguments...);
  return std::string(buffer, static_cast<size_t>(length));
}

INSTANTIATE_TEST_SUITE_P(
    Conversions, WsprintfTest,
    ::testing::Values(
        Formatted{"PaddedHex", [](char* b) { return format(b, "%08X|%X", 0xC0000005u, 0xABu); },
                  "C0000005|AB"},
        Formatted{"DatePieces", [](char* b) { return format(b, "%02d/%02d/%d", 3, 7, 2024); },
                  "03/07/2024"},
        // 'l' keeps integers at 32 bits, as on Windows.
        Formatted{"LongIs32Bit", [](char* b) { return format(b, "%lu %lx", 4000000000u, 255u); },
                  "4000000000 ff"},
        Formatted{"Strings",
                  [](char* b) {
                    return format(b, "[%s] [%-4s] [%s]", "a", "b",
                                  static_cast<const char*>(nullptr));
                  },
                  "[a] [b   ] [(null)]"},
        Formatted{"PointerAtFullWidth",
                  [](char* b) { return format(b, "%p", reinterpret_cast<void*>(0x10)); },
                  sizeof(void*) == 8 ? "0000000000000010" : "00000010"},
        Formatted{"PercentAndChar", [](char* b) { return format(b, "100%% %c", 'x'); }, "100% x"}),
    [](const ::testing::TestParamInfo<Formatted>& test) { return test.param.name; });

TEST(WsprintfLimitTest, WritesAtMost1023Characters) {
  char buffer[1024];
  const std::string longText(3000, 'y');
  EXPECT_EQ(wsprintfA(buffer, "%s", longText.c_str()), 1023);
  EXPECT_EQ(std::string(buffer), longText.substr(0, 1023));
}

}  // namespace

// File handles by Windows path, their times, and FILETIME conversions to local and calendar time.
#include "support/temp_folder.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <cstdlib>
#include <fstream>

namespace {

ULONGLONG ticks(const FILETIME& time) {
  return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

FILETIME filetime(ULONGLONG ticks) {
  return FILETIME{static_cast<DWORD>(ticks & 0xFFFFFFFFu), static_cast<DWORD>(ticks >> 32)};
}

class FileHandleTest : public ::testing::Test {
 protected:
  std::string file(const char* name) const { return (folder_.path() / name).string(); }
  TempFolder folder_;
};

TEST_F(FileHandleTest, OpensAnExistingFileAndReadsItsLastWriteTime) {
  const std::string path = file("scene.max");
  std::ofstream(path) << "x";
  const timespec times[2] = {{1000000000, 0}, {1700000000, 500000000}};
  ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);

  const HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(handle, INVALID_HANDLE_VALUE);
  FILETIME written{};
  FILETIME accessed{};
  EXPECT_TRUE(GetFileTime(handle, nullptr, &accessed, &written));
  EXPECT_TRUE(CloseHandle(handle));
  // 1601 to 1970 is 11644473600 seconds; FILETIME counts 100 ns.
  EXPECT_EQ(ticks(written), (11644473600ULL + 1700000000ULL) * 10000000ULL + 5000000ULL);
  EXPECT_EQ(ticks(accessed), (11644473600ULL + 1000000000ULL) * 10000000ULL);
  EXPECT_FALSE(GetFileTime(handle, nullptr, nullptr, &written));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

TEST_F(FileHandleTest, DispositionsDecideWhetherFilesAreCreated) {
  const std::string path = file("new.txt");
  auto open = [&](DWORD disposition) {
    return CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, disposition,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
  };
  EXPECT_EQ(open(OPEN_EXISTING), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
  HANDLE handle = open(CREATE_NEW);
  ASSERT_NE(handle, INVALID_HANDLE_VALUE);
  CloseHandle(handle);
  EXPECT_EQ(open(CREATE_NEW), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_FILE_EXISTS);
  handle = open(OPEN_ALWAYS);
  EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
  CloseHandle(handle);
  EXPECT_EQ(
      CreateFileA(folder_.path().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr),
      INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
}

TEST(FileTimeToSystemTimeTest, BreaksDownCalendarFields) {
  SYSTEMTIME time{};
  // 2024-02-29 23:59:58.250, a Thursday.
  const ULONGLONG moment = (11644473600ULL + 1709251198ULL) * 10000000ULL + 2500000ULL;
  const FILETIME value = filetime(moment);
  ASSERT_TRUE(FileTimeToSystemTime(&value, &time));
  EXPECT_EQ(time.wYear, 2024);
  EXPECT_EQ(time.wMonth, 2);
  EXPECT_EQ(time.wDay, 29);
  EXPECT_EQ(time.wDayOfWeek, 4);
  EXPECT_EQ(time.wHour, 23);
  EXPECT_EQ(time.wMinute, 59);
  EXPECT_EQ(time.wSecond, 58);
  EXPECT_EQ(time.wMilliseconds, 250);

  const FILETIME start = filetime(0);
  ASSERT_TRUE(FileTimeToSystemTime(&start, &time));
  EXPECT_EQ(time.wYear, 1601);
  EXPECT_EQ(time.wMonth, 1);
  EXPECT_EQ(time.wDay, 1);
  EXPECT_EQ(time.wDayOfWeek, 1);

  const FILETIME tooLarge = filetime(0x8000000000000000ULL);
  EXPECT_FALSE(FileTimeToSystemTime(&tooLarge, &time));
}

class LocalTimeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* zone = std::getenv("TZ");
    hadZone_ = zone != nullptr;
    if (hadZone_) savedZone_ = zone;
  }
  void TearDown() override {
    if (hadZone_) {
      setenv("TZ", savedZone_.c_str(), 1);
    } else {
      unsetenv("TZ");
    }
    tzset();
  }
  static void use_zone(const char* zone) {
    setenv("TZ", zone, 1);
    tzset();
  }

 private:
  bool hadZone_ = false;
  std::string savedZone_;
};

TEST_F(LocalTimeTest, ShiftsByTheOffsetInForceAtThatMoment) {
  use_zone("CET-1CEST,M3.5.0,M10.5.0/3");
  const ULONGLONG hour = 3600ULL * 10000000ULL;
  // 2024-01-15 and 2024-07-15 at noon UTC: winter and summer time.
  const ULONGLONG winter = (11644473600ULL + 1705320000ULL) * 10000000ULL;
  const ULONGLONG summer = (11644473600ULL + 1721044800ULL) * 10000000ULL;
  FILETIME local{};
  const FILETIME winterUtc = filetime(winter);
  ASSERT_TRUE(FileTimeToLocalFileTime(&winterUtc, &local));
  EXPECT_EQ(ticks(local), winter + hour);
  const FILETIME summerUtc = filetime(summer);
  ASSERT_TRUE(FileTimeToLocalFileTime(&summerUtc, &local));
  EXPECT_EQ(ticks(local), summer + 2 * hour);
}

}  // namespace

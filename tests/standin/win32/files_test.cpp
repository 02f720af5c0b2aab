// The Windows file calls on a temporary folder mapped as drive T: attributes, folders, searches.
#include <windows.h>

#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

class FileCallsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("MAXSIM_DRIVE_T", drive_.path().c_str(), 1);
    fs::create_directories(onDrive("out/sub"));
    for (const char* name : {"out/b.tga", "out/A.TGA", "out/c.exr", "out/ab.tga.bak"})
      std::ofstream(onDrive(name)) << "12345";
  }
  void TearDown() override { unsetenv("MAXSIM_DRIVE_T"); }

  fs::path onDrive(const std::string& relative) const { return drive_.path() / relative; }

  // The names a search finds, in the order it gives them, or the error that ends it at once.
  static std::vector<std::string> found(const std::string& pattern, DWORD* error = nullptr) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA(pattern.c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) {
      if (error != nullptr) *error = GetLastError();
      return names;
    }
    do names.push_back(data.cFileName);
    while (FindNextFileA(search, &data));
    EXPECT_EQ(GetLastError(), ERROR_NO_MORE_FILES) << pattern;
    EXPECT_TRUE(FindClose(search));
    return names;
  }

 private:
  TempFolder drive_;
};

TEST_F(FileCallsTest, AttributesOfAFileAndAFolder) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  ASSERT_TRUE(GetFileAttributesExA(R"(T:\out\b.tga)", GetFileExInfoStandard, &data));
  EXPECT_EQ(data.dwFileAttributes, FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(data.nFileSizeHigh, 0u);
  EXPECT_EQ(data.nFileSizeLow, 5u);
  struct stat status {};
  ASSERT_EQ(stat(onDrive("out/b.tga").c_str(), &status), 0);
  const ULONGLONG written = (static_cast<ULONGLONG>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                            data.ftLastWriteTime.dwLowDateTime;
  EXPECT_EQ(written, 116444736000000000ULL +
                         static_cast<ULONGLONG>(status.st_mtim.tv_sec) * 10000000ULL +
                         status.st_mtim.tv_nsec / 100);

  ASSERT_TRUE(GetFileAttributesExA("t:/out/sub/", GetFileExInfoStandard, &data));
  EXPECT_EQ(data.dwFileAttributes, FILE_ATTRIBUTE_DIRECTORY);

  fs::permissions(onDrive("out/c.exr"), fs::perms::owner_read);
  ASSERT_TRUE(GetFileAttributesExA(R"(T:\out\c.exr)", GetFileExInfoStandard, &data));
  EXPECT_EQ(data.dwFileAttributes, FILE_ATTRIBUTE_READONLY);
}

TEST_F(FileCallsTest, FailuresSetTheWindowsErrorCodes) {
  struct Case {
    const char* path;
    DWORD error;
  };
  const Case cases[] = {
      {R"(T:\out\missing.tga)", ERROR_FILE_NOT_FOUND},
      {R"(T:\missing\b.tga)", ERROR_PATH_NOT_FOUND},
      {R"(T:\out\b.tga\inside)", ERROR_PATH_NOT_FOUND},
      {R"(\\no-such-server-for-moonstone\share\b.tga)", ERROR_BAD_NETPATH},
      {"//no-such-server-for-moonstone", ERROR_BAD_NETPATH},
  };
  for (const Case& c : cases) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    SetLastError(ERROR_SUCCESS);
    EXPECT_FALSE(GetFileAttributesExA(c.path, GetFileExInfoStandard, &data)) << c.path;
    EXPECT_EQ(GetLastError(), c.error) << c.path;
  }
  WIN32_FILE_ATTRIBUTE_DATA data{};
  EXPECT_FALSE(GetFileAttributesExA(R"(T:\out\b.tga)", GetFileExMaxInfoLevel, &data));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST_F(FileCallsTest, CreateDirectoryMakesOneLevel) {
  EXPECT_TRUE(CreateDirectoryA(R"(T:\out\new)", nullptr));
  EXPECT_TRUE(fs::is_directory(onDrive("out/new")));

  struct Case {
    const char* path;
    DWORD error;
  };
  const Case cases[] = {
      {R"(T:\out\new)", ERROR_ALREADY_EXISTS},
      {R"(T:\out\b.tga)", ERROR_ALREADY_EXISTS},
      {R"(T:\a\b)", ERROR_PATH_NOT_FOUND},
      {R"(\\no-such-server-for-moonstone\share)", ERROR_BAD_NETPATH},
  };
  for (const Case& c : cases) {
    SetLastError(ERROR_SUCCESS);
    EXPECT_FALSE(CreateDirectoryA(c.path, nullptr)) << c.path;
    EXPECT_EQ(GetLastError(), c.error) << c.path;
  }
  EXPECT_FALSE(fs::exists(onDrive("a")));
}

TEST_F(FileCallsTest, SearchesMatchWildcardsWithoutRegardToCase) {
  struct Case {
    const char* pattern;
    std::vector<std::string> names;
  };
  const Case cases[] = {
      {R"(T:\out\*.tga)", {"A.TGA", "b.tga"}},
      {"t:/out/?.TGA", {"A.TGA", "b.tga"}},
      {R"(T:\out\*b*)", {"ab.tga.bak", "b.tga", "sub"}},
      {R"(T:\out\a*.t?a*)", {"A.TGA", "ab.tga.bak"}},
      {R"(T:\out\c.exr)", {"c.exr"}},
      {R"(T:\out\SUB)", {"sub"}},
      {R"(T:\out)", {"out"}},
  };
  for (const Case& c : cases) EXPECT_EQ(found(c.pattern), c.names) << c.pattern;
}

TEST_F(FileCallsTest, SearchReportsWhatItFound) {
  WIN32_FIND_DATAA data{};
  HANDLE search = FindFirstFileA(R"(T:\out\sub)", &data);
  ASSERT_NE(search, INVALID_HANDLE_VALUE);
  EXPECT_EQ(data.dwFileAttributes, FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_TRUE(FindClose(search));
  // A closed search is gone: using or closing it again is refused.
  EXPECT_FALSE(FindNextFileA(search, &data));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  EXPECT_FALSE(FindClose(search));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);

  search = FindFirstFileA(R"(T:\out\c.exr)", &data);
  ASSERT_NE(search, INVALID_HANDLE_VALUE);
  EXPECT_EQ(data.dwFileAttributes, FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(data.nFileSizeLow, 5u);
  EXPECT_TRUE(FindClose(search));
}

TEST_F(FileCallsTest, SearchesThatFindNothingSayWhy) {
  struct Case {
    const char* pattern;
    DWORD error;
  };
  const Case cases[] = {
      {R"(T:\out\*.png)", ERROR_FILE_NOT_FOUND},
      {R"(T:\out\)", ERROR_FILE_NOT_FOUND},
      {R"(T:\missing\*)", ERROR_PATH_NOT_FOUND},
      {R"(T:\out\b.tga\*)", ERROR_PATH_NOT_FOUND},
      {R"(\\no-such-server-for-moonstone\share\*)", ERROR_BAD_NETPATH},
  };
  for (const Case& c : cases) {
    DWORD error = ERROR_SUCCESS;
    EXPECT_TRUE(found(c.pattern, &error).empty()) << c.pattern;
    EXPECT_EQ(error, c.error) << c.pattern;
  }
}

TEST(FormatMessage, GivesTheSystemsTextInABlockToFree) {
  char* text = nullptr;
  const DWORD flags =
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;
  const DWORD length = FormatMessageA(flags, nullptr, ERROR_PATH_NOT_FOUND, 0x400,
                                      reinterpret_cast<LPSTR>(&text), 0, nullptr);
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(std::string(text), "The system cannot find the path specified.\r\n");
  EXPECT_EQ(length, std::string(text).size());
  EXPECT_EQ(LocalFree(text), nullptr);

  text = nullptr;
  EXPECT_EQ(
      FormatMessageA(flags, nullptr, 99999u, 0x400, reinterpret_cast<LPSTR>(&text), 0, nullptr),
      0u);
  EXPECT_EQ(GetLastError(), ERROR_MR_MID_NOT_FOUND);
  EXPECT_EQ(text, nullptr);

  char buffer[256];
  EXPECT_EQ(FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, ERROR_PATH_NOT_FOUND, 0x400, buffer,
                           sizeof buffer, nullptr),
            0u);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

}  // namespace

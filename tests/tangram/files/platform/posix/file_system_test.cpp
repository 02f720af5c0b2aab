// Files and folders by Windows name on a temporary folder mapped as drive T by the POSIX drive map.
#include "tangram/files/file_system.h"

#include "support/message_of.h"
#include "support/temp_folder.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

namespace {

using namespace tangram::files;
namespace fs = std::filesystem;

class FileSystemTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("MAXSIM_DRIVE_T", drive_.path().c_str(), 1);
    fs::create_directories(drive_.path() / "out");
    std::ofstream(drive_.path() / "out" / "shot.tga") << "image";
  }
  void TearDown() override { unsetenv("MAXSIM_DRIVE_T"); }

  fs::path onDrive(const std::string& relative) const { return drive_.path() / relative; }

 private:
  TempFolder drive_;
};

TEST_F(FileSystemTest, FileExistsOnlyForFilesAndFalseForMissingOnes) {
  struct Case {
    const char* path;
    bool exists;
  };
  const Case cases[] = {
      {R"(T:\out\shot.tga)", true},
      {"t:/out//shot.tga", true},
      {R"(T:\out)", false},
      {R"(T:\out\)", false},
      {R"(T:\out\missing.tga)", false},
      {R"(T:\missing\shot.tga)", false},
      {R"(T:\out\shot.tga\inside)", false},
      {R"(\\no-such-server-for-moonstone\share\shot.tga)", false},
  };
  for (const Case& c : cases) EXPECT_EQ(file_exists(c.path), c.exists) << c.path;
}

TEST_F(FileSystemTest, FileExistsThrowsWithTheSystemsTextForOtherFailures) {
  const std::string path = R"(T:\out\)" + std::string(300, 'x') + ".tga";
  EXPECT_EQ(messageOf<std::runtime_error>([&] { file_exists(path); }),
            "file_exists: Could not get the file attributes of \"" + path +
                "\": The filename or extension is too long.");
}

TEST_F(FileSystemTest, FileExistsThrowsWhenAccessIsDenied) {
  // The super-user passes every permission check, so there is no denial to provoke.
  if (geteuid() == 0) GTEST_SKIP() << "permissions are not enforced for the super-user";
  fs::permissions(onDrive("out"), fs::perms::none);
  const std::string message = messageOf<std::runtime_error>([] { file_exists(R"(T:\out\x)"); });
  fs::permissions(onDrive("out"), fs::perms::owner_all);
  EXPECT_EQ(message, R"(file_exists: Could not get the file attributes of "T:\out\x": )"
                     "Access is denied.");
}

TEST_F(FileSystemTest, MakeDirectoriesCreatesEveryMissingLevel) {
  const char* folders[] = {R"(T:\a\b\c\)", "T:/d/e", R"(T:\out\f)", R"(T:\\g\\h)"};
  for (const char* folder : folders) EXPECT_NO_THROW(make_directories(folder)) << folder;
  for (const char* created : {"a/b/c", "d/e", "out/f", "g/h"})
    EXPECT_TRUE(fs::is_directory(onDrive(created))) << created;
}

TEST_F(FileSystemTest, MakeDirectoriesLeavesFailedCreationsToTheWriter) {
  for (const char* folder : {"", R"(T:\)", "T:", R"(T:\out)", R"(T:\out\shot.tga\sub)",
                             R"(\\no-such-server-for-moonstone\share\out)"})
    EXPECT_NO_THROW(make_directories(folder)) << folder;
  EXPECT_TRUE(fs::is_regular_file(onDrive("out/shot.tga")));
}

TEST_F(FileSystemTest, MakeDirectoriesRefusesNamesWindowsForbids) {
  EXPECT_THROW(make_directories(R"(T:\a<b\c)"), path_name_error);
  EXPECT_FALSE(fs::exists(onDrive("a<b")));
}

TEST(LastErrorMessage, GivesTheSystemsTextWithoutItsLineEnd) {
  struct Case {
    DWORD code;
    const char* text;
  };
  const Case cases[] = {
      {ERROR_FILE_NOT_FOUND, "The system cannot find the file specified."},
      {ERROR_ACCESS_DENIED, "Access is denied."},
      {ERROR_BAD_NETPATH, "The network path was not found."},
      {123456u, ""},
  };
  for (const Case& c : cases) {
    SetLastError(c.code);
    EXPECT_EQ(last_error_message(), c.text) << c.code;
  }
}

}  // namespace

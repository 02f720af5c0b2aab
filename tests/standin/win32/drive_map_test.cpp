// Windows paths mapped onto POSIX folders through MAXSIM_DRIVE_X and the home folder.
#include "win32/drive_map.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

class DriveMapTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("MAXSIM_DRIVE_C", "/tmp/drive-c/", 1);
    unsetenv("MAXSIM_DRIVE_Q");
    setenv("HOME", "/home/render", 1);
  }
};

TEST_F(DriveMapTest, MapsDrivesAndLeavesPosixPathsAlone) {
  struct Case {
    const char* windows;
    const char* posix;
  };
  const Case cases[] = {
      {"c:/Foxglove/logs/3zerorEzuridu.log", "/tmp/drive-c/Foxglove/logs/3zerorEzuridu.log"},
      {"C:\\Foxglove\\logs\\x.log", "/tmp/drive-c/Foxglove/logs/x.log"},
      {"c:", "/tmp/drive-c"},
      {"c:relative.tga", "/tmp/drive-c/relative.tga"},
      {"q:\\out\\a.tga", "/home/render/.maxsim/drive_q/out/a.tga"},
      {"Q:/out", "/home/render/.maxsim/drive_q/out"},
      {"/var/tmp/a.tga", "/var/tmp/a.tga"},
      {"renders\\shot1\\a.tga", "renders/shot1/a.tga"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(standin::posix_path(c.windows), c.posix) << c.windows;
}

}  // namespace

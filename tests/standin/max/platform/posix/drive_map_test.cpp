// The stand-in's drive letters for output files (POSIX: on Windows drive letters are the
// system's own).
#include "standin/max/host_fixture.h"
#include "standin/max/test_picture.h"

#include <max.h>

#include <bmmlib.h>

#include <cstdlib>
#include <filesystem>

TEST_F(HostTest, DriveLettersAreMappedForOutput) {
  setenv("MAXSIM_DRIVE_Q", folder.c_str(), 1);
  BitmapPtr bitmap = testPicture();
  BitmapInfo bi;
  bi.SetName("q:\\shot.png");
  EXPECT_EQ(writeBitmap(bitmap.get(), bi), BMMRES_SUCCESS);
  unsetenv("MAXSIM_DRIVE_Q");
  EXPECT_TRUE(std::filesystem::exists(path("shot.png")));
}

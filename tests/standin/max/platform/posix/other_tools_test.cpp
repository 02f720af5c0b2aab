// 8-bit image files written through the bitmap manager open in another program (POSIX: the
// program is a Linux one).
#include "standin/max/host_fixture.h"
#include "installed_tool.h"
#include "standin/max/test_picture.h"

#include <max.h>

#include <bmmlib.h>

#include <cstdlib>
#include <fstream>
#include <string>

namespace {

class OtherToolsTest : public HostTest, public ::testing::WithParamInterface<std::string> {};

TEST_P(OtherToolsTest, OpenTheFile) {
  if (!toolAvailable("identify")) GTEST_SKIP() << "ImageMagick's identify is not installed";
  BitmapPtr bitmap = testPicture();
  BitmapInfo bi;
  bi.SetName(path(GetParam()).c_str());
  ASSERT_EQ(writeBitmap(bitmap.get(), bi), BMMRES_SUCCESS);
  const std::string command =
      "identify -format '%w %h' '" + path(GetParam()) + "' > '" + path("identify.txt") + "'";
  ASSERT_EQ(std::system(command.c_str()), 0);
  std::ifstream in(path("identify.txt"));
  std::string size;
  std::getline(in, size);
  EXPECT_EQ(size, "7 5");
}

INSTANTIATE_TEST_SUITE_P(Formats, OtherToolsTest,
                         ::testing::Values("picture.tga", "picture.png", "picture.jpg",
                                           "picture.bmp"),
                         [](const auto& test) {
                           return test.param.substr(test.param.find('.') + 1);
                         });

}  // namespace

// EXR files written through the bitmap manager, read back with the OpenEXR library and its header
// tool, and those the Windows build wrote (POSIX: the Windows build has no OpenEXR library).
#include "standin/max/host_fixture.h"
#include "installed_tool.h"
#include "standin/max/test_picture.h"

#include <max.h>

#include <bmmlib.h>

#include <OpenEXR/ImfChannelList.h>
#include <OpenEXR/ImfFrameBuffer.h>
#include <OpenEXR/ImfHeader.h>
#include <OpenEXR/ImfInputFile.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

const int width = pictureWidth;
const int height = pictureHeight;

class ExrFileTest : public HostTest, public ::testing::WithParamInterface<int> {
 protected:
  /// The file's name for this test's bitmap type: picture_half.exr or picture_float.exr.
  static std::string fileName() {
    return std::string("picture_") + (GetParam() == BMM_FLOAT_RGBA_32 ? "float" : "half") + ".exr";
  }

  /// Reads the EXR picture back from the file and checks its size, aspect, channels and pixels.
  static void expectExrPicture(const std::string& file) {
    Imf::InputFile exr(file.c_str());
    const Imath::Box2i window = exr.header().dataWindow();
    ASSERT_EQ(window.max.x - window.min.x + 1, width);
    ASSERT_EQ(window.max.y - window.min.y + 1, height);
    EXPECT_FLOAT_EQ(exr.header().pixelAspectRatio(), exrPixelAspect);
    const Imf::PixelType stored = GetParam() == BMM_FLOAT_RGBA_32 ? Imf::FLOAT : Imf::HALF;
    std::vector<float> channels[4];
    Imf::FrameBuffer frame;
    const char* names[] = {"R", "G", "B", "A"};
    for (int i = 0; i < 4; ++i) {
      const Imf::Channel* channel = exr.header().channels().findChannel(names[i]);
      ASSERT_NE(channel, nullptr) << names[i];
      EXPECT_EQ(channel->type, stored) << names[i];
      channels[i].resize(width * height);
      frame.insert(names[i], Imf::Slice(Imf::FLOAT, reinterpret_cast<char*>(channels[i].data()),
                                        sizeof(float), sizeof(float) * width));
    }
    exr.setFrameBuffer(frame);
    exr.readPixels(window.min.y, window.max.y);
    // Only a floating-point bitmap holds colours beyond 0..1; a 64-bit one clamps them.
    const bool floats = GetParam() == BMM_FLOAT_RGBA_32;
    EXPECT_FLOAT_EQ(channels[0][0], floats ? exrBrightPixel.r : 1.0f);
    EXPECT_FLOAT_EQ(channels[1][0], floats ? exrBrightPixel.g : 0.0f);
    EXPECT_FLOAT_EQ(channels[2][0], exrBrightPixel.b);
    const float allowed = floats ? 0.0f : 1e-3f;
    for (int y = 0; y < height; ++y) {
      for (int x = 1; x < width; ++x) {
        const BMM_Color_fl c = testColour(x, y);
        EXPECT_NEAR(channels[0][y * width + x], c.r, allowed);
        EXPECT_NEAR(channels[1][y * width + x], c.g, allowed);
        EXPECT_NEAR(channels[2][y * width + x], c.b, allowed);
        EXPECT_NEAR(channels[3][y * width + x], c.a, allowed);
      }
    }
  }
};

TEST_P(ExrFileTest, FloatingPointPixelsReadBack) {
  ASSERT_EQ(writeExrPicture(GetParam(), path(fileName())), BMMRES_SUCCESS);
  expectExrPicture(path(fileName()));
}

// The Windows build writes its EXR files with another library: its test suite under Wine writes
// the same picture into the folder that MOONSTONE_EXR_EXCHANGE names (scripts/test-windows.sh),
// and this reads those files back with the same checks.
TEST_P(ExrFileTest, FileWrittenByTheWindowsBuildReadsBack) {
  const char* exchange = std::getenv("MOONSTONE_EXR_EXCHANGE");
  if (!exchange) GTEST_SKIP() << "MOONSTONE_EXR_EXCHANGE names no folder of Windows-written files";
  const std::string file = (std::filesystem::path(exchange) / fileName()).string();
  ASSERT_TRUE(std::filesystem::is_regular_file(file)) << file;
  expectExrPicture(file);
}

TEST_P(ExrFileTest, HeaderReaderOpensTheFile) {
  if (!toolAvailable("exrheader")) GTEST_SKIP() << "OpenEXR's exrheader is not installed";
  BitmapPtr bitmap = testPicture(GetParam());
  BitmapInfo bi;
  bi.SetName(path("picture.exr").c_str());
  ASSERT_EQ(writeBitmap(bitmap.get(), bi), BMMRES_SUCCESS);
  const std::string command = "exrheader '" + path("picture.exr") + "' > '" + path("h.txt") + "'";
  ASSERT_EQ(std::system(command.c_str()), 0);
  std::ifstream in(path("h.txt"));
  const std::string header((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_NE(header.find("(0 0) - (6 4)"), std::string::npos) << header;
}

INSTANTIATE_TEST_SUITE_P(Types, ExrFileTest, ::testing::Values(BMM_TRUE_64, BMM_FLOAT_RGBA_32),
                         [](const auto& test) {
                           return std::string(test.param == BMM_FLOAT_RGBA_32 ? "float" : "half");
                         });

}  // namespace

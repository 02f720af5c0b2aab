// Image files written through the bitmap manager: each 8-bit format read back with the image
// library, the Targa alpha split and error codes.
#include "host_fixture.h"
#include "test_picture.h"

#include <max.h>

#include <bmmlib.h>

#include <stb_image.h>

#include <cmath>
#include <fstream>

namespace {

const int width = pictureWidth;
const int height = pictureHeight;

struct Decoded {
  int width = 0, height = 0, channels = 0;
  std::vector<unsigned char> bytes;
};

Decoded decode(const std::string& file) {
  Decoded d;
  unsigned char* data = stbi_load(file.c_str(), &d.width, &d.height, &d.channels, 0);
  if (data) {
    d.bytes.assign(data, data + d.width * d.height * d.channels);
    stbi_image_free(data);
  }
  return d;
}

int byteOf(float v) {
  return static_cast<int>(std::lround(std::min(std::max(v, 0.0f), 1.0f) * 255));
}

}  // namespace

struct EightBitFormat {
  const char* file;
  const char* device;
  int channels;   // channels stored
  int tolerance;  // per channel, in 8-bit steps (JPEG is lossy, more so on a tiny steep gradient)
};

void PrintTo(const EightBitFormat& format, std::ostream* out) {
  *out << format.file;
}

class EightBitFileTest : public HostTest, public ::testing::WithParamInterface<EightBitFormat> {};

TEST_P(EightBitFileTest, WrittenFileReadsBackWithItsSizeAndPixels) {
  const EightBitFormat& format = GetParam();
  BitmapPtr bitmap = testPicture();
  BitmapInfo bi;
  bi.SetName(path(format.file).c_str());
  ASSERT_EQ(writeBitmap(bitmap.get(), bi), BMMRES_SUCCESS);

  const Decoded d = decode(path(format.file));
  ASSERT_EQ(d.width, width);
  ASSERT_EQ(d.height, height);
  ASSERT_EQ(d.channels, format.channels);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const BMM_Color_fl c = testColour(x, y);
      const unsigned char* p = &d.bytes[(y * width + x) * d.channels];
      EXPECT_NEAR(p[0], byteOf(c.r), format.tolerance) << x << "," << y;
      EXPECT_NEAR(p[1], byteOf(c.g), format.tolerance) << x << "," << y;
      EXPECT_NEAR(p[2], byteOf(c.b), format.tolerance) << x << "," << y;
      if (d.channels == 4) {
        EXPECT_EQ(p[3], byteOf(c.a)) << x << "," << y;
      }
    }
  }
}

TEST_P(EightBitFileTest, DeviceIsChosenByExtensionOrByName) {
  const EightBitFormat& format = GetParam();
  BitmapPtr bitmap = testPicture();
  // The device named in the info wins over the extension.
  BitmapInfo named;
  named.SetName(path("picture.unknown").c_str());
  named.SetDevice(format.device);
  ASSERT_EQ(writeBitmap(bitmap.get(), named), BMMRES_SUCCESS);
  EXPECT_EQ(decode(path("picture.unknown")).width, width);
}

INSTANTIATE_TEST_SUITE_P(Formats, EightBitFileTest,
                         ::testing::Values(EightBitFormat{"picture.tga", "Targa Image File", 4, 0},
                                           EightBitFormat{"picture.png", "PNG Image File", 4, 0},
                                           EightBitFormat{"picture.jpg", "JPEG File", 3, 40},
                                           EightBitFormat{"picture.bmp", "BMP Image File", 3, 0}),
                         [](const auto& test) {
                           std::string name = test.param.file;
                           return name.substr(name.find('.') + 1);
                         });

// A 64-bit bitmap holds 16-bit levels: an 8-bit file written from it must hold the bytes the
// same colours give when written from floats, at every byte and on and around the halfway points
// between bytes, where a level rounded or read back carelessly tips over.
TEST_F(HostTest, SixteenBitLevelsWriteTheBytesOfTheirFloats) {
  const int steps = 256, rows = 4;
  // Row 0 at each byte, row 1 at its halfway point to the next, rows 2 and 3 a float's step below
  // and above that point.
  auto value = [](int k, int row) {
    const float halfway = (k + 0.5f) / 255.0f;
    const float values[rows] = {k / 255.0f, halfway, std::nextafter(halfway, 0.0f),
                                std::nextafter(halfway, 1.0f)};
    return values[row];
  };
  BitmapPtr bitmaps[2];
  const int types[] = {BMM_TRUE_64, BMM_FLOAT_RGBA_32};
  for (int t = 0; t < 2; ++t) {
    BitmapInfo bi;
    bi.SetWidth(steps);
    bi.SetHeight(rows);
    bi.SetType(types[t]);
    bitmaps[t].reset(TheManager->Create(&bi));
    for (int row = 0; row < rows; ++row) {
      for (int k = 0; k < steps; ++k) {
        // The one float the file's own rounding lifts to the next byte although it lies below
        // the halfway point (0.49999997 + 0.5 rounds to 1): its nearest level cannot follow.
        if (row == 2 && k == 0) continue;
        const float v = value(k, row);
        const BMM_Color_fl c(v, 1.0f - v, v * v, 1.0f);
        bitmaps[t]->PutPixels(k, row, 1, &c);
      }
    }
    BitmapInfo out;
    out.SetName(path(t == 0 ? "levels.png" : "floats.png").c_str());
    ASSERT_EQ(writeBitmap(bitmaps[t].get(), out), BMMRES_SUCCESS);
  }
  const Decoded levels = decode(path("levels.png"));
  const Decoded floats = decode(path("floats.png"));
  ASSERT_EQ(levels.bytes.size(), size_t{steps} * rows * 4);
  EXPECT_EQ(levels.bytes, floats.bytes);
}

TEST_F(HostTest, TargaAlphaSplitWritesTheAlphaBesideTheFile) {
  BitmapPtr bitmap = testPicture();
  BitmapInfo bi;
  bi.SetName(path("shot0012.tga").c_str());
  bi.SetDeviceSetting(BMM_SETTING_ALPHA_SPLIT, "1");
  ASSERT_EQ(writeBitmap(bitmap.get(), bi), BMMRES_SUCCESS);

  const Decoded colour = decode(path("shot0012.tga"));
  EXPECT_EQ(colour.channels, 3);
  EXPECT_EQ(colour.width, width);
  const Decoded alpha = decode(path("A_shot0012.tga"));
  ASSERT_EQ(alpha.channels, 1);
  ASSERT_EQ(alpha.width, width);
  EXPECT_EQ(alpha.bytes[1 * width + 1], 0);
  EXPECT_EQ(alpha.bytes[0], 255);
}

TEST_F(HostTest, WithoutAlphaSplitNoAlphaFileIsWritten) {
  BitmapPtr bitmap = testPicture();
  BitmapInfo bi;
  bi.SetName(path("shot.tga").c_str());
  ASSERT_EQ(writeBitmap(bitmap.get(), bi), BMMRES_SUCCESS);
  EXPECT_FALSE(std::filesystem::exists(path("A_shot.tga")));
}

struct FailingWrite {
  const char* label;
  const char* file;  // in the temporary folder
};

void PrintTo(const FailingWrite& write, std::ostream* out) {
  *out << write.file;
}

class FailingWriteTest : public HostTest, public ::testing::WithParamInterface<FailingWrite> {};

TEST_P(FailingWriteTest, WriteIntoMissingFolderFailsAndCreatesNothing) {
  BitmapPtr bitmap = testPicture();
  BitmapInfo bi;
  bi.SetName(path(GetParam().file).c_str());
  ASSERT_EQ(bitmap->OpenOutput(&bi), BMMRES_SUCCESS);
  EXPECT_NE(bitmap->Write(&bi, BMM_SINGLEFRAME), BMMRES_SUCCESS);
  bitmap->Close(&bi, BMM_CLOSE_COMPLETE);
  EXPECT_FALSE(std::filesystem::exists(folder / "missing"));
}

INSTANTIATE_TEST_SUITE_P(Formats, FailingWriteTest,
                         ::testing::Values(FailingWrite{"tga", "missing/shot.tga"},
                                           FailingWrite{"png", "missing/shot.png"},
                                           FailingWrite{"jpg", "missing/shot.jpg"},
                                           FailingWrite{"bmp", "missing/shot.bmp"},
                                           FailingWrite{"exr", "missing/shot.exr"}),
                         [](const auto& test) { return std::string(test.param.label); });

TEST_F(HostTest, UnknownFormatHasNoDriver) {
  BitmapPtr bitmap = testPicture();
  BitmapInfo bi;
  bi.SetName(path("shot.xyz").c_str());
  EXPECT_EQ(bitmap->OpenOutput(&bi), BMMRES_NODRIVER);
  bi.SetName(path("shot.png").c_str());
  bi.SetDevice("No Such Device");
  EXPECT_EQ(bitmap->OpenOutput(&bi), BMMRES_NODRIVER);
}

TEST_F(HostTest, WriteWithoutOpenOutputIsInvalidUsage) {
  BitmapPtr bitmap = testPicture();
  BitmapInfo bi;
  bi.SetName(path("shot.png").c_str());
  EXPECT_EQ(bitmap->Write(&bi, BMM_SINGLEFRAME), BMMRES_INVALIDUSAGE);
  EXPECT_EQ(bitmap->Close(&bi, BMM_CLOSE_COMPLETE), BMMRES_INVALIDUSAGE);
  EXPECT_FALSE(std::filesystem::exists(path("shot.png")));
}

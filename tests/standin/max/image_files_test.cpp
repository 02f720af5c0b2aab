// Image files written through the bitmap manager: each format read back with the image libraries,
// the Targa alpha split, error codes, and other tools opening the files.
#include "host_fixture.h"

#include <max.h>

#include <bmmlib.h>

#include <OpenEXR/ImfChannelList.h>
#include <OpenEXR/ImfFrameBuffer.h>
#include <OpenEXR/ImfHeader.h>
#include <OpenEXR/ImfInputFile.h>
#include <stb_image.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sys/wait.h>

namespace {

struct BitmapDeleter {
  void operator()(Bitmap* bitmap) const { bitmap->DeleteThis(); }
};
using BitmapPtr = std::unique_ptr<Bitmap, BitmapDeleter>;

const int width = 7;
const int height = 5;

/// A test picture: r rises to the right, g downwards, b constant, alpha 1 except one pixel.
BMM_Color_fl testColour(int x, int y) {
  return BMM_Color_fl(x / float(width - 1), y / float(height - 1), 0.25f,
                      x == 1 && y == 1 ? 0.0f : 1.0f);
}

BitmapPtr testPicture(int type = BMM_TRUE_64) {
  BitmapInfo bi;
  bi.SetWidth(width);
  bi.SetHeight(height);
  bi.SetType(type);
  BitmapPtr bitmap(TheManager->Create(&bi));
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const BMM_Color_fl c = testColour(x, y);
      bitmap->PutPixels(x, y, 1, &c);
    }
  }
  return bitmap;
}

/// Writes the bitmap as the named file through the output calls; the last non-zero result.
BMMRES write(Bitmap* bitmap, BitmapInfo& bi) {
  if (BMMRES r = bitmap->OpenOutput(&bi)) return r;
  if (BMMRES r = bitmap->Write(&bi, BMM_SINGLEFRAME)) return r;
  return bitmap->Close(&bi, BMM_CLOSE_COMPLETE);
}

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

bool toolAvailable(const char* tool) {
  const std::string command = std::string("command -v ") + tool + " >/dev/null 2>&1";
  return std::system(command.c_str()) == 0;
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
  ASSERT_EQ(write(bitmap.get(), bi), BMMRES_SUCCESS);

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
  ASSERT_EQ(write(bitmap.get(), named), BMMRES_SUCCESS);
  EXPECT_EQ(decode(path("picture.unknown")).width, width);
}

TEST_P(EightBitFileTest, OtherToolsOpenTheFile) {
  if (!toolAvailable("identify")) GTEST_SKIP() << "ImageMagick's identify is not installed";
  BitmapPtr bitmap = testPicture();
  BitmapInfo bi;
  bi.SetName(path(GetParam().file).c_str());
  ASSERT_EQ(write(bitmap.get(), bi), BMMRES_SUCCESS);
  const std::string command =
      "identify -format '%w %h' '" + path(GetParam().file) + "' > '" + path("identify.txt") + "'";
  ASSERT_EQ(std::system(command.c_str()), 0);
  std::ifstream in(path("identify.txt"));
  std::string size;
  std::getline(in, size);
  EXPECT_EQ(size, "7 5");
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
    ASSERT_EQ(write(bitmaps[t].get(), out), BMMRES_SUCCESS);
  }
  const Decoded levels = decode(path("levels.png"));
  const Decoded floats = decode(path("floats.png"));
  ASSERT_EQ(levels.bytes.size(), size_t{steps} * rows * 4);
  EXPECT_EQ(levels.bytes, floats.bytes);
}

class ExrFileTest : public HostTest, public ::testing::WithParamInterface<int> {};

TEST_P(ExrFileTest, FloatingPointPixelsReadBack) {
  BitmapPtr bitmap = testPicture(GetParam());
  const BMM_Color_fl bright(4.5f, -0.5f, 0.125f, 1.0f);  // beyond what 8-bit files hold
  bitmap->PutPixels(0, 0, 1, &bright);
  BitmapInfo bi;
  bi.SetName(path("picture.exr").c_str());
  bi.SetAspect(1.25f);
  ASSERT_EQ(write(bitmap.get(), bi), BMMRES_SUCCESS);

  Imf::InputFile file(path("picture.exr").c_str());
  const Imath::Box2i window = file.header().dataWindow();
  ASSERT_EQ(window.max.x - window.min.x + 1, width);
  ASSERT_EQ(window.max.y - window.min.y + 1, height);
  EXPECT_FLOAT_EQ(file.header().pixelAspectRatio(), 1.25f);
  const Imf::PixelType stored = GetParam() == BMM_FLOAT_RGBA_32 ? Imf::FLOAT : Imf::HALF;
  EXPECT_EQ(file.header().channels().findChannel("R")->type, stored);
  ASSERT_NE(file.header().channels().findChannel("A"), nullptr);

  std::vector<float> channels[4];
  Imf::FrameBuffer frame;
  const char* names[] = {"R", "G", "B", "A"};
  for (int i = 0; i < 4; ++i) {
    channels[i].resize(width * height);
    frame.insert(names[i], Imf::Slice(Imf::FLOAT, reinterpret_cast<char*>(channels[i].data()),
                                      sizeof(float), sizeof(float) * width));
  }
  file.setFrameBuffer(frame);
  file.readPixels(window.min.y, window.max.y);
  // Only a floating-point bitmap holds colours beyond 0..1; a 64-bit one clamps them.
  const bool floats = GetParam() == BMM_FLOAT_RGBA_32;
  EXPECT_FLOAT_EQ(channels[0][0], floats ? 4.5f : 1.0f);
  EXPECT_FLOAT_EQ(channels[1][0], floats ? -0.5f : 0.0f);
  EXPECT_FLOAT_EQ(channels[2][0], 0.125f);
  for (int y = 0; y < height; ++y) {
    for (int x = 1; x < width; ++x) {
      const BMM_Color_fl c = testColour(x, y);
      const float allowed = GetParam() == BMM_FLOAT_RGBA_32 ? 0.0f : 1e-3f;
      EXPECT_NEAR(channels[0][y * width + x], c.r, allowed);
      EXPECT_NEAR(channels[1][y * width + x], c.g, allowed);
      EXPECT_NEAR(channels[3][y * width + x], c.a, allowed);
    }
  }
}

TEST_P(ExrFileTest, HeaderReaderOpensTheFile) {
  if (!toolAvailable("exrheader")) GTEST_SKIP() << "OpenEXR's exrheader is not installed";
  BitmapPtr bitmap = testPicture(GetParam());
  BitmapInfo bi;
  bi.SetName(path("picture.exr").c_str());
  ASSERT_EQ(write(bitmap.get(), bi), BMMRES_SUCCESS);
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

TEST_F(HostTest, TargaAlphaSplitWritesTheAlphaBesideTheFile) {
  BitmapPtr bitmap = testPicture();
  BitmapInfo bi;
  bi.SetName(path("shot0012.tga").c_str());
  bi.SetDeviceSetting(BMM_SETTING_ALPHA_SPLIT, "1");
  ASSERT_EQ(write(bitmap.get(), bi), BMMRES_SUCCESS);

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
  ASSERT_EQ(write(bitmap.get(), bi), BMMRES_SUCCESS);
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

TEST_F(HostTest, DriveLettersAreMappedForOutput) {
  setenv("MAXSIM_DRIVE_Q", folder.c_str(), 1);
  BitmapPtr bitmap = testPicture();
  BitmapInfo bi;
  bi.SetName("q:\\shot.png");
  EXPECT_EQ(write(bitmap.get(), bi), BMMRES_SUCCESS);
  unsetenv("MAXSIM_DRIVE_Q");
  EXPECT_TRUE(std::filesystem::exists(path("shot.png")));
}

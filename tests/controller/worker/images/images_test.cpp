// Image files: every format the plug-in writes reads back as written; bad files and bad images
// are reported.
#include "controller/worker/images/image_check.h"
#include "controller/worker/images/image_files.h"
#include "controller/worker/images/image_format.h"

#include "support/message_of.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>

namespace {

using worker::Image;

Image bytePattern(int width, int height, int channels) {
  Image image;
  image.channels = channels;
  image = image.blankLike(width, height);
  for (size_t i = 0; i < image.bytes.size(); ++i) image.bytes[i] = static_cast<uint8_t>(i * 37);
  return image;
}

Image floatPattern(int width, int height, Image::Samples samples) {
  Image image;
  image.samples = samples;
  image.channels = 4;
  image.channelNames = {"A", "B", "G", "R"};
  image = image.blankLike(width, height);
  for (size_t i = 0; i < image.floats.size(); ++i) image.floats[i] = 0.25f * static_cast<float>(i);
  return image;
}

class ImageFilesTest : public ::testing::Test {
 protected:
  std::string path(const std::string& name) const { return (folder.path() / name).string(); }
  TempFolder folder;
};

TEST_F(ImageFilesTest, LosslessFormatsReadBackExactly) {
  const struct {
    std::string name;
    Image image;
  } cases[] = {
      {"a.tga", bytePattern(5, 3, 4)},
      {"a.TGA", bytePattern(5, 3, 1)},
      {"a.png", bytePattern(4, 4, 4)},
      {"a.bmp", bytePattern(6, 2, 3)},
      {"half.exr", floatPattern(3, 2, Image::Samples::Half)},
      {"float.exr", floatPattern(3, 2, Image::Samples::Float)},
  };
  for (const auto& c : cases) {
    worker::writeImage(path(c.name), c.image);
    EXPECT_TRUE(worker::readImage(path(c.name)).samePixels(c.image)) << c.name;
  }
}

TEST_F(ImageFilesTest, JpegDecodesToTheSize) {
  worker::writeImage(path("a.jpg"), bytePattern(8, 6, 3));
  const Image image = worker::readImage(path("a.jpg"));
  EXPECT_EQ(image.width, 8);
  EXPECT_EQ(image.height, 6);
}

TEST_F(ImageFilesTest, FilesThatDoNotDecodeAreReported) {
  std::ofstream(path("broken.tga")) << "not an image";
  std::ofstream(path("broken.exr")) << "not an image";
  for (const char* name : {"broken.tga", "broken.exr", "missing.png"}) {
    try {
      worker::readImage(path(name));
      ADD_FAILURE() << name << " decoded";
    } catch (const worker::ImageError& error) {
      EXPECT_EQ(std::string(error.what()).find("does not decode: "), 0u) << error.what();
    }
  }
}

TEST_F(ImageFilesTest, ChannelsReadBackInTheFilesOrderOfNames) {
  Image written = floatPattern(2, 1, Image::Samples::Float);
  written.channelNames = {"R", "G", "B", "A"};
  Image expected = written;
  expected.channelNames = {"A", "B", "G", "R"};
  for (size_t pixel = 0; pixel < 2; ++pixel) {
    for (size_t c = 0; c < 4; ++c)
      expected.floats[pixel * 4 + c] = written.floats[pixel * 4 + 3 - c];
  }
  worker::writeImage(path("rgba.exr"), written);
  EXPECT_TRUE(worker::readImage(path("rgba.exr")).samePixels(expected));
}

/// Both builds' libraries fail these files in the same words.
TEST_F(ImageFilesTest, NamesMissingForeignAndCutOffExrFiles) {
  auto readMessage = [this](const std::string& name) {
    return messageOf<worker::ImageError>([&] { worker::readImage(path(name)); });
  };
  EXPECT_EQ(readMessage("missing.exr"), "does not decode: cannot open the file");
  std::ofstream(path("text.exr")) << "not an image";
  EXPECT_EQ(readMessage("text.exr"), "does not decode: not an OpenEXR file");

  worker::writeImage(path("whole.exr"), floatPattern(3, 2, Image::Samples::Half));
  std::ifstream in(path("whole.exr"), std::ios::binary);
  const std::string whole{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  // Cut anywhere: in the magic number, the header, the offset table or the pixels.
  for (size_t length = 0; length < whole.size() && !HasFailure(); ++length) {
    std::ofstream(path("cut.exr"), std::ios::binary) << whole.substr(0, length);
    EXPECT_EQ(readMessage("cut.exr"), length < 4 ? "does not decode: not an OpenEXR file"
                                                 : "is truncated: the file ends before its image")
        << "cut after " << length << " of " << whole.size() << " bytes";
  }
}

TEST_F(ImageFilesTest, RefusesFormatsThatCannotHoldTheSamples) {
  EXPECT_THROW(worker::writeImage(path("a.exr"), bytePattern(2, 2, 4)), worker::ImageError);
  EXPECT_THROW(worker::writeImage(path("a.png"), floatPattern(2, 2, Image::Samples::Float)),
               worker::ImageError);
  EXPECT_THROW(worker::writeImage(path("a.xyz"), bytePattern(2, 2, 4)), worker::ImageError);
}

TEST(ImageCheckTest, NamesWrongSizesAndNaNSamples) {
  Image image = floatPattern(4, 2, Image::Samples::Float);
  EXPECT_EQ(worker::imageProblem(image, 4, 2), "");
  EXPECT_EQ(worker::imageProblem(image, 4, 3), "size 4x2, expected 4x3");
  image.floats[5] = std::nanf("");
  EXPECT_EQ(worker::imageProblem(image, 4, 2), "1 NaN samples");
  image.floats[9] = std::nanf("");
  EXPECT_EQ(worker::imageProblem(image, 4, 2), "2 NaN samples");
}

TEST_F(ImageFilesTest, AFileWhoseContentDiffersFromItsNameIsNamed) {
  for (const std::string name : {"a.tga", "a.png", "a.jpg", "a.bmp"}) {
    worker::writeImage(path(name), bytePattern(2, 2, 3));
    EXPECT_EQ(worker::formatMismatch(path(name)), "") << name;
  }
  worker::writeImage(path("b.exr"), floatPattern(2, 2, Image::Samples::Half));
  EXPECT_EQ(worker::formatMismatch(path("b.exr")), "");
  std::filesystem::copy_file(path("a.tga"), path("targa.png"));
  EXPECT_EQ(worker::formatMismatch(path("targa.png")), "holds Targa data but is named as PNG");
  std::filesystem::copy_file(path("a.png"), path("png.tga"));
  EXPECT_EQ(worker::formatMismatch(path("png.tga")), "holds PNG data but is named as Targa");
  std::filesystem::copy_file(path("a.jpg"), path("c.JPEG"));
  EXPECT_EQ(worker::formatMismatch(path("c.JPEG")), "");
  std::filesystem::copy_file(path("a.png"), path("png.raw"));
  EXPECT_EQ(worker::formatMismatch(path("png.raw")), "");
}

}  // namespace

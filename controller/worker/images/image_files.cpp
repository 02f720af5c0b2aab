// Image files through stb (8-bit formats) and OpenEXR (floating point).
#include "controller/worker/images/image_files.h"

#include <Imath/half.h>
#include <OpenEXR/ImfChannelList.h>
#include <OpenEXR/ImfFrameBuffer.h>
#include <OpenEXR/ImfHeader.h>
#include <OpenEXR/ImfInputFile.h>
#include <OpenEXR/ImfOutputFile.h>
#include <stb/stb_image.h>
#include <stb/stb_image_write.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <memory>

namespace worker {

namespace {

std::string lowerExtension(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  const size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
  std::string extension = path.substr(dot);
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return extension;
}

size_t sampleCount(int width, int height, int channels) {
  return static_cast<size_t>(width) * static_cast<size_t>(height) * static_cast<size_t>(channels);
}

/// The file as the 8-bit decoder reads it, noting when the decoder wanted bytes past its end:
/// the decoder fills a short file with zeros, so a truncated image would otherwise pass.
class FileSource {
 public:
  explicit FileSource(const std::string& path) : in_(path, std::ios::binary) {}
  bool open() const { return static_cast<bool>(in_); }
  bool readPastEnd() const { return readPastEnd_; }

  static int read(void* user, char* data, int size) {
    auto& self = *static_cast<FileSource*>(user);
    self.in_.read(data, size);
    const auto got = static_cast<int>(self.in_.gcount());
    if (got == 0 && size > 0) self.readPastEnd_ = true;
    return got;
  }
  static void skip(void* user, int count) {
    auto& self = *static_cast<FileSource*>(user);
    self.in_.clear();
    self.in_.seekg(count, std::ios::cur);
  }
  static int eof(void* user) {
    auto& self = *static_cast<FileSource*>(user);
    return self.in_.peek() == std::char_traits<char>::eof() ? 1 : 0;
  }

 private:
  std::ifstream in_;
  bool readPastEnd_ = false;
};

Image readEightBit(const std::string& path) {
  FileSource source(path);
  if (!source.open()) throw ImageError("does not decode: can't fopen");
  const stbi_io_callbacks callbacks = {&FileSource::read, &FileSource::skip, &FileSource::eof};
  int width = 0;
  int height = 0;
  int channels = 0;
  std::unique_ptr<stbi_uc, void (*)(void*)> pixels(
      stbi_load_from_callbacks(&callbacks, &source, &width, &height, &channels, 0),
      stbi_image_free);
  if (!pixels) throw ImageError(std::string("does not decode: ") + stbi_failure_reason());
  if (source.readPastEnd()) throw ImageError("is truncated: the file ends before its image");
  Image image;
  image.width = width;
  image.height = height;
  image.channels = channels;
  image.bytes.assign(pixels.get(), pixels.get() + sampleCount(width, height, channels));
  return image;
}

Image readExr(const std::string& path) {
  try {
    Imf::InputFile file(path.c_str());
    const Imath::Box2i window = file.header().dataWindow();
    Image image;
    image.width = window.max.x - window.min.x + 1;
    image.height = window.max.y - window.min.y + 1;
    image.samples = Image::Samples::Half;
    for (auto channel = file.header().channels().begin(); channel != file.header().channels().end();
         ++channel) {
      image.channelNames.push_back(channel.name());
      if (channel.channel().type == Imf::FLOAT) image.samples = Image::Samples::Float;
    }
    image.channels = static_cast<int>(image.channelNames.size());
    image.floats.assign(sampleCount(image.width, image.height, image.channels), 0.0f);
    const size_t xStride = sizeof(float) * static_cast<size_t>(image.channels);
    const size_t yStride = xStride * static_cast<size_t>(image.width);
    // The slices are addressed from the data window's origin, which need not be (0, 0).
    char* origin =
        reinterpret_cast<char*>(image.floats.data()) -
        static_cast<std::ptrdiff_t>(window.min.x) * static_cast<std::ptrdiff_t>(xStride) -
        static_cast<std::ptrdiff_t>(window.min.y) * static_cast<std::ptrdiff_t>(yStride);
    Imf::FrameBuffer frame;
    for (int i = 0; i < image.channels; ++i) {
      frame.insert(image.channelNames[static_cast<size_t>(i)],
                   Imf::Slice(Imf::FLOAT, origin + sizeof(float) * static_cast<size_t>(i), xStride,
                              yStride));
    }
    file.setFrameBuffer(frame);
    file.readPixels(window.min.y, window.max.y);
    return image;
  } catch (const std::exception& error) {
    throw ImageError(std::string("does not decode: ") + error.what());
  }
}

/// Writes the samples as the given type; OpenEXR only converts types on reading.
template <typename Sample>
void writeExrAs(const std::string& path, const Image& image, Imf::PixelType type) {
  const std::vector<Sample> samples(image.floats.begin(), image.floats.end());
  Imf::Header header(image.width, image.height);
  const size_t xStride = sizeof(Sample) * static_cast<size_t>(image.channels);
  const size_t yStride = xStride * static_cast<size_t>(image.width);
  char* base = const_cast<char*>(reinterpret_cast<const char*>(samples.data()));
  Imf::FrameBuffer frame;
  for (int i = 0; i < image.channels; ++i) {
    const std::string& name = image.channelNames[static_cast<size_t>(i)];
    header.channels().insert(name, Imf::Channel(type));
    frame.insert(
        name, Imf::Slice(type, base + sizeof(Sample) * static_cast<size_t>(i), xStride, yStride));
  }
  Imf::OutputFile file(path.c_str(), header);
  file.setFrameBuffer(frame);
  file.writePixels(image.height);
}

void writeExr(const std::string& path, const Image& image) {
  if (image.samples == Image::Samples::Bytes) {
    throw ImageError("cannot write 8-bit pixels as OpenEXR: " + path);
  }
  try {
    if (image.samples == Image::Samples::Float) {
      writeExrAs<float>(path, image, Imf::FLOAT);
    } else {
      writeExrAs<half>(path, image, Imf::HALF);
    }
  } catch (const std::exception& error) {
    throw ImageError("cannot write " + path + ": " + error.what());
  }
}

void writeEightBit(const std::string& path, const std::string& extension, const Image& image) {
  if (image.samples != Image::Samples::Bytes) {
    throw ImageError("cannot write floating-point pixels as " + extension + ": " + path);
  }
  const unsigned char* data = image.bytes.data();
  const int w = image.width;
  const int h = image.height;
  const int n = image.channels;
  int written = 0;
  if (extension == ".tga") {
    written = stbi_write_tga(path.c_str(), w, h, n, data);
  } else if (extension == ".png") {
    written = stbi_write_png(path.c_str(), w, h, n, data, w * n);
  } else if (extension == ".bmp") {
    written = stbi_write_bmp(path.c_str(), w, h, n, data);
  } else if (extension == ".jpg" || extension == ".jpeg") {
    written = stbi_write_jpg(path.c_str(), w, h, n, data, 90);
  } else {
    throw ImageError("no image format for the extension of " + path);
  }
  if (written == 0) throw ImageError("cannot write " + path);
}

}  // namespace

Image readImage(const std::string& path) {
  return lowerExtension(path) == ".exr" ? readExr(path) : readEightBit(path);
}

void writeImage(const std::string& path, const Image& image) {
  const std::string extension = lowerExtension(path);
  if (extension == ".exr") {
    writeExr(path, image);
  } else {
    writeEightBit(path, extension, image);
  }
}

}  // namespace worker

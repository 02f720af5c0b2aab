// Image files through stb (8-bit formats), with OpenEXR files handed to exr_files.
#include "controller/worker/images/image_files.h"

#include "controller/worker/images/exr_files.h"

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

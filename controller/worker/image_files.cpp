// Image files through stb (8-bit formats), with OpenEXR files handed to exr_files.
#include "controller/worker/image_files.h"

#include "controller/worker/exr_files.h"

#include <stb/stb_image.h>
#include <stb/stb_image_write.h>

#include <algorithm>
#include <cctype>
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

Image readEightBit(const std::string& path) {
  int width = 0;
  int height = 0;
  int channels = 0;
  std::unique_ptr<stbi_uc, void (*)(void*)> pixels(
      stbi_load(path.c_str(), &width, &height, &channels, 0), stbi_image_free);
  if (!pixels) throw ImageError(std::string("does not decode: ") + stbi_failure_reason());
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

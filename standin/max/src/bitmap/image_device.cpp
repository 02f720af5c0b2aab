// Choosing the image device for a file, and the 8-bit form of a bitmap's pixels that most use.
#include "bitmap/image_device.h"

#include <algorithm>
#include <cctype>
#include <memory>

namespace standin {

std::vector<std::unique_ptr<ImageDevice>> makeStbDevices();
std::unique_ptr<ImageDevice> makeExrDevice();

namespace {

const std::vector<std::unique_ptr<ImageDevice>>& devices() {
  static const std::vector<std::unique_ptr<ImageDevice>> all = [] {
    std::vector<std::unique_ptr<ImageDevice>> list = makeStbDevices();
    list.push_back(makeExrDevice());
    return list;
  }();
  return all;
}

std::string lowerExtension(const std::string& fileName) {
  const size_t leaf = fileName.find_last_of("\\/");
  const size_t dot = fileName.rfind('.');
  if (dot == std::string::npos || (leaf != std::string::npos && dot < leaf)) return "";
  std::string extension = fileName.substr(dot);
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return extension;
}

}  // namespace

const ImageDevice* deviceForFileName(const std::string& fileName) {
  const std::string extension = lowerExtension(fileName);
  for (const auto& device : devices()) {
    const auto known = device->extensions();
    if (std::find(known.begin(), known.end(), extension) != known.end()) return device.get();
  }
  return nullptr;
}

const ImageDevice* deviceFor(const BitmapInfo& bi) {
  const std::string named = const_cast<BitmapInfo&>(bi).Device();  // the getter is not const
  if (named.empty()) return deviceForFileName(bi.Name());
  for (const auto& device : devices()) {
    if (named == device->name()) return device.get();
  }
  return nullptr;
}

std::vector<unsigned char> eightBitPixels(const Bitmap& bitmap, int channels) {
  const int width = bitmap.Width();
  const int height = bitmap.Height();
  std::vector<unsigned char> bytes(static_cast<size_t>(width) * height * channels);
  std::vector<BMM_Color_fl> row(width);
  auto byte = [](float v) {
    const float clamped = v < 0 ? 0 : (v > 1 ? 1 : v);
    return static_cast<unsigned char>(clamped * 255.0f + 0.5f);
  };
  size_t at = 0;
  for (int y = 0; y < height; ++y) {
    bitmap.GetPixels(0, y, width, row.data());
    for (const BMM_Color_fl& c : row) {
      if (channels == 1) {
        bytes[at++] = byte(c.a);
        continue;
      }
      bytes[at++] = byte(c.r);
      bytes[at++] = byte(c.g);
      bytes[at++] = byte(c.b);
      if (channels == 4) bytes[at++] = byte(c.a);
    }
  }
  return bytes;
}

}  // namespace standin

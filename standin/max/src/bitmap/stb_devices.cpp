// The 8-bit image devices written through stb: Targa (with its alpha split), PNG, JPEG and BMP.
#include "bitmap/image_device.h"

#include <stb_image_write.h>

#include <memory>

namespace standin {

namespace {

/// "A_" + the file name, in the same folder.
std::string alphaSplitPath(const std::string& path) {
  const size_t slash = path.rfind('/');
  const size_t leaf = slash == std::string::npos ? 0 : slash + 1;
  return path.substr(0, leaf) + "A_" + path.substr(leaf);
}

BMMRES result(int stbResult) {
  return stbResult ? BMMRES_SUCCESS : BMMRES_IOERROR;
}

class TargaDevice : public ImageDevice {
 public:
  const char* name() const override { return "Targa Image File"; }
  std::vector<std::string> extensions() const override { return {".tga", ".vda", ".icb", ".vst"}; }
  BMMRES write(const Bitmap& bitmap, const BitmapInfo& bi, const std::string& path) const override {
    const int w = bitmap.Width(), h = bitmap.Height();
    if (std::string(bi.GetDeviceSetting(BMM_SETTING_ALPHA_SPLIT)) != "1") {
      return result(stbi_write_tga(path.c_str(), w, h, 4, eightBitPixels(bitmap, 4).data()));
    }
    // Alpha split: the colour file without alpha, the alpha channel as a grey image beside it.
    if (!stbi_write_tga(path.c_str(), w, h, 3, eightBitPixels(bitmap, 3).data())) {
      return BMMRES_IOERROR;
    }
    return result(
        stbi_write_tga(alphaSplitPath(path).c_str(), w, h, 1, eightBitPixels(bitmap, 1).data()));
  }
};

class PngDevice : public ImageDevice {
 public:
  const char* name() const override { return "PNG Image File"; }
  std::vector<std::string> extensions() const override { return {".png"}; }
  BMMRES write(const Bitmap& bitmap, const BitmapInfo&, const std::string& path) const override {
    const int w = bitmap.Width(), h = bitmap.Height();
    return result(stbi_write_png(path.c_str(), w, h, 4, eightBitPixels(bitmap, 4).data(), w * 4));
  }
};

class JpegDevice : public ImageDevice {
 public:
  const char* name() const override { return "JPEG File"; }
  std::vector<std::string> extensions() const override { return {".jpg", ".jpeg", ".jpe"}; }
  BMMRES write(const Bitmap& bitmap, const BitmapInfo&, const std::string& path) const override {
    const int quality = 90;
    return result(stbi_write_jpg(path.c_str(), bitmap.Width(), bitmap.Height(), 3,
                                 eightBitPixels(bitmap, 3).data(), quality));
  }
};

class BmpDevice : public ImageDevice {
 public:
  const char* name() const override { return "BMP Image File"; }
  std::vector<std::string> extensions() const override { return {".bmp"}; }
  BMMRES write(const Bitmap& bitmap, const BitmapInfo&, const std::string& path) const override {
    return result(stbi_write_bmp(path.c_str(), bitmap.Width(), bitmap.Height(), 3,
                                 eightBitPixels(bitmap, 3).data()));
  }
};

}  // namespace

std::vector<std::unique_ptr<ImageDevice>> makeStbDevices() {
  std::vector<std::unique_ptr<ImageDevice>> list;
  list.push_back(std::make_unique<TargaDevice>());
  list.push_back(std::make_unique<PngDevice>());
  list.push_back(std::make_unique<JpegDevice>());
  list.push_back(std::make_unique<BmpDevice>());
  return list;
}

}  // namespace standin

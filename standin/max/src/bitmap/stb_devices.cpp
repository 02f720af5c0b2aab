// The 8-bit image devices written through stb: Targa (with its alpha split), PNG, JPEG and BMP.
#include "bitmap/image_device.h"
#include "bitmap/image_file.h"
#include "core/native_path.h"

#include <stb_image_write.h>

#include <memory>

namespace standin {

namespace {

/// "A_" + the file name, in the same folder of the native path.
std::string alphaSplitPath(const std::string& path) {
  const size_t slash = path.find_last_of(native_separators);
  const size_t leaf = slash == std::string::npos ? 0 : slash + 1;
  return path.substr(0, leaf) + "A_" + path.substr(leaf);
}

/// Runs one stb writer into the file at `path`; an I/O error when the writer or the disk failed.
template <typename Writer>
BMMRES writeFile(const std::string& path, Writer writer) {
  ImageFile file(path);
  if (!writer(&ImageFile::append, &file)) return BMMRES_IOERROR;
  return file.commit() ? BMMRES_SUCCESS : BMMRES_IOERROR;
}

class TargaDevice : public ImageDevice {
 public:
  const char* name() const override { return "Targa Image File"; }
  std::vector<std::string> extensions() const override { return {".tga", ".vda", ".icb", ".vst"}; }
  BMMRES write(const Bitmap& bitmap, const BitmapInfo& bi, const std::string& path) const override {
    const int w = bitmap.Width(), h = bitmap.Height();
    auto tga = [&](int channels) {
      return [&, channels](stbi_write_func* out, void* file) {
        return stbi_write_tga_to_func(out, file, w, h, channels,
                                      eightBitPixels(bitmap, channels).data());
      };
    };
    if (std::string(bi.GetDeviceSetting(BMM_SETTING_ALPHA_SPLIT)) != "1") {
      return writeFile(path, tga(4));
    }
    // Alpha split: the colour file without alpha, the alpha channel as a grey image beside it.
    const BMMRES colour = writeFile(path, tga(3));
    if (colour != BMMRES_SUCCESS) return colour;
    return writeFile(alphaSplitPath(path), tga(1));
  }
};

class PngDevice : public ImageDevice {
 public:
  const char* name() const override { return "PNG Image File"; }
  std::vector<std::string> extensions() const override { return {".png"}; }
  BMMRES write(const Bitmap& bitmap, const BitmapInfo&, const std::string& path) const override {
    const int w = bitmap.Width(), h = bitmap.Height();
    return writeFile(path, [&](stbi_write_func* out, void* file) {
      return stbi_write_png_to_func(out, file, w, h, 4, eightBitPixels(bitmap, 4).data(), w * 4);
    });
  }
};

class JpegDevice : public ImageDevice {
 public:
  const char* name() const override { return "JPEG File"; }
  std::vector<std::string> extensions() const override { return {".jpg", ".jpeg", ".jpe"}; }
  BMMRES write(const Bitmap& bitmap, const BitmapInfo&, const std::string& path) const override {
    const int quality = 90;
    return writeFile(path, [&](stbi_write_func* out, void* file) {
      return stbi_write_jpg_to_func(out, file, bitmap.Width(), bitmap.Height(), 3,
                                    eightBitPixels(bitmap, 3).data(), quality);
    });
  }
};

class BmpDevice : public ImageDevice {
 public:
  const char* name() const override { return "BMP Image File"; }
  std::vector<std::string> extensions() const override { return {".bmp"}; }
  BMMRES write(const Bitmap& bitmap, const BitmapInfo&, const std::string& path) const override {
    return writeFile(path, [&](stbi_write_func* out, void* file) {
      return stbi_write_bmp_to_func(out, file, bitmap.Width(), bitmap.Height(), 3,
                                    eightBitPixels(bitmap, 3).data());
    });
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

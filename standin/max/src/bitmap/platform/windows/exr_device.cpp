// The floating-point image device in the Windows build: no OpenEXR library is built for Windows, so
// the device is there by name and fails every write with a clear error instead of a missing file.
#include "bitmap/image_device.h"

#include <iostream>
#include <memory>

namespace standin {

namespace {

class UnsupportedExrDevice : public ImageDevice {
 public:
  const char* name() const override { return "OpenEXR Image File"; }
  std::vector<std::string> extensions() const override { return {".exr"}; }
  BMMRES write(const Bitmap&, const BitmapInfo&, const std::string& path) const override {
    std::cerr << "maxsim: cannot write " << path
              << ": the OpenEXR format is not supported in this build" << std::endl;
    return BMMRES_NODRIVER;
  }
};

}  // namespace

std::unique_ptr<ImageDevice> makeExrDevice() {
  return std::make_unique<UnsupportedExrDevice>();
}

}  // namespace standin

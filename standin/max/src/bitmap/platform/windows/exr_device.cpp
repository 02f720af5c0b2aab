// The floating-point image device in the Windows build: OpenEXR files with R, G, B and A channels,
// written with tinyexr and the mingw zlib (no OpenEXR library is built for Windows).
#include "bitmap/image_device.h"
#include "bitmap/image_file.h"

#include <zlib.h>

#include <tinyexr.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace standin {

namespace {

/// Sets the value of the header's pixelAspectRatio attribute in a written file's bytes. This
/// tinyexr writes 1 whatever its header says, and the Linux device writes the bitmap's aspect;
/// the attribute is the name, its type's name, a 4-byte size and the value, all fixed in size, so
/// the value is replaced where it stands. False when the attribute is not there.
bool setPixelAspect(unsigned char* bytes, size_t size, float aspect) {
  static const char attribute[] = "pixelAspectRatio\0float\0\4\0\0\0";
  const size_t length = sizeof attribute - 1;
  unsigned char* end = bytes + size;
  unsigned char* found = std::search(bytes, end, attribute, attribute + length);
  if (found == end || end - found < static_cast<std::ptrdiff_t>(length + sizeof aspect)) {
    return false;
  }
  std::memcpy(found + length, &aspect, sizeof aspect);  // the file is little-endian, as x86 is
  return true;
}

class ExrDevice : public ImageDevice {
 public:
  const char* name() const override { return "OpenEXR Image File"; }
  std::vector<std::string> extensions() const override { return {".exr"}; }
  BMMRES write(const Bitmap& bitmap, const BitmapInfo& bi, const std::string& path) const override {
    const int w = bitmap.Width(), h = bitmap.Height();
    const size_t count = static_cast<size_t>(w) * static_cast<size_t>(h);
    std::vector<BMM_Color_fl> pixels(count);
    for (int y = 0; y < h; ++y) {
      bitmap.GetPixels(0, y, w, &pixels[static_cast<size_t>(y) * static_cast<size_t>(w)]);
    }
    // One plane per channel, in the alphabetical order that readers expect of the channel list.
    const char* names[] = {"A", "B", "G", "R"};
    std::vector<float> planes[4];
    for (std::vector<float>& plane : planes) plane.reserve(count);
    for (const BMM_Color_fl& c : pixels) {
      planes[0].push_back(c.a);
      planes[1].push_back(c.b);
      planes[2].push_back(c.g);
      planes[3].push_back(c.r);
    }
    unsigned char* planePointers[4];
    EXRChannelInfo channels[4];
    int given[4], stored[4];
    // A floating-point bitmap keeps full floats; the others are 16-bit deep, which half holds.
    const int storedType =
        bitmap.Type() == BMM_FLOAT_RGBA_32 ? TINYEXR_PIXELTYPE_FLOAT : TINYEXR_PIXELTYPE_HALF;
    for (int i = 0; i < 4; ++i) {
      planePointers[i] = reinterpret_cast<unsigned char*>(planes[i].data());
      std::memset(&channels[i], 0, sizeof channels[i]);
      std::strcpy(channels[i].name, names[i]);
      given[i] = TINYEXR_PIXELTYPE_FLOAT;
      stored[i] = storedType;
    }
    EXRImage image;
    InitEXRImage(&image);
    image.images = planePointers;
    image.width = w;
    image.height = h;
    image.num_channels = 4;
    EXRHeader header;
    InitEXRHeader(&header);
    header.num_channels = 4;
    header.channels = channels;
    header.pixel_types = given;
    header.requested_pixel_types = stored;
    header.compression_type = TINYEXR_COMPRESSIONTYPE_ZIP;  // as the Linux device's library does

    unsigned char* bytes = nullptr;
    const char* error = nullptr;
    const size_t size = SaveEXRImageToMemory(&image, &header, &bytes, &error);
    const std::unique_ptr<unsigned char, void (*)(void*)> owned(bytes, std::free);
    if (error) FreeEXRErrorMessage(error);
    const float aspect = const_cast<BitmapInfo&>(bi).Aspect();  // the getter is not const
    if (size == 0 || !setPixelAspect(bytes, size, aspect > 0 ? aspect : 1.0f)) {
      return BMMRES_IOERROR;
    }
    ImageFile file(path);
    if (!file.write(bytes, size)) return BMMRES_IOERROR;
    return file.commit() ? BMMRES_SUCCESS : BMMRES_IOERROR;
  }
};

}  // namespace

std::unique_ptr<ImageDevice> makeExrDevice() {
  return std::make_unique<ExrDevice>();
}

}  // namespace standin

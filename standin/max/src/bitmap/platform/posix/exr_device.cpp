// The floating-point image device: OpenEXR files with R, G, B and A channels.
#include "bitmap/image_device.h"
#include "bitmap/image_file.h"

#include <OpenEXR/Iex.h>
#include <Imath/half.h>
#include <OpenEXR/ImfChannelList.h>
#include <OpenEXR/ImfFrameBuffer.h>
#include <OpenEXR/ImfHeader.h>
#include <OpenEXR/ImfIO.h>
#include <OpenEXR/ImfOutputFile.h>

#include <exception>
#include <memory>

namespace standin {

namespace {

// The library's output stream over an ImageFile. A failed write throws, as the library expects,
// so that it stops early; the file remembers the failure for writes the library makes later
// without looking at errors (its destructor writes the line-offset table).
class ImageFileStream : public Imf::OStream {
 public:
  explicit ImageFileStream(ImageFile& file, const std::string& path)
      : Imf::OStream(path.c_str()), file_(file) {}
  void write(const char bytes[], int size) override {
    if (!file_.write(bytes, static_cast<size_t>(size))) throw Iex::IoExc("cannot write the file");
  }
  uint64_t tellp() override { return file_.position(); }
  void seekp(uint64_t position) override {
    if (!file_.seek(position)) throw Iex::IoExc("cannot seek in the file");
  }

 private:
  ImageFile& file_;
};

class ExrDevice : public ImageDevice {
 public:
  const char* name() const override { return "OpenEXR Image File"; }
  std::vector<std::string> extensions() const override { return {".exr"}; }
  BMMRES write(const Bitmap& bitmap, const BitmapInfo& bi, const std::string& path) const override {
    const int w = bitmap.Width(), h = bitmap.Height();
    std::vector<BMM_Color_fl> pixels(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y) bitmap.GetPixels(0, y, w, &pixels[static_cast<size_t>(y) * w]);
    try {
      const float aspect = const_cast<BitmapInfo&>(bi).Aspect();  // the getter is not const
      Imf::Header header(w, h, aspect > 0 ? aspect : 1.0f);
      // A floating-point bitmap keeps full floats; the others are 16-bit deep, which half holds.
      if (bitmap.Type() == BMM_FLOAT_RGBA_32)
        return writeAs<float>(header, Imf::FLOAT, pixels, w, path);
      return writeAs<half>(header, Imf::HALF, pixels, w, path);
    } catch (const std::exception&) {
      return BMMRES_IOERROR;
    }
  }

 private:
  template <typename Sample>
  static BMMRES writeAs(Imf::Header& header, Imf::PixelType type,
                        const std::vector<BMM_Color_fl>& pixels, int width,
                        const std::string& path) {
    struct Rgba {
      Sample r, g, b, a;
    };
    std::vector<Rgba> samples;
    samples.reserve(pixels.size());
    for (const BMM_Color_fl& c : pixels) {
      samples.push_back({Sample(c.r), Sample(c.g), Sample(c.b), Sample(c.a)});
    }
    Imf::FrameBuffer frame;
    const size_t xStride = sizeof(Rgba);
    const size_t yStride = sizeof(Rgba) * width;
    char* base = reinterpret_cast<char*>(samples.data());
    const char* names[] = {"R", "G", "B", "A"};
    const size_t offsets[] = {offsetof(Rgba, r), offsetof(Rgba, g), offsetof(Rgba, b),
                              offsetof(Rgba, a)};
    for (int i = 0; i < 4; ++i) {
      header.channels().insert(names[i], Imf::Channel(type));
      frame.insert(names[i], Imf::Slice(type, base + offsets[i], xStride, yStride));
    }
    ImageFile file(path);
    {
      ImageFileStream stream(file, path);
      Imf::OutputFile exr(stream, header);
      exr.setFrameBuffer(frame);
      exr.writePixels(header.dataWindow().max.y - header.dataWindow().min.y + 1);
    }
    return file.commit() ? BMMRES_SUCCESS : BMMRES_IOERROR;
  }
};

}  // namespace

std::unique_ptr<ImageDevice> makeExrDevice() {
  return std::make_unique<ExrDevice>();
}

}  // namespace standin

// OpenEXR files decoded and encoded in memory by the OpenEXR library.
#include "controller/worker/images/exr_codec.h"

#include <Imath/half.h>
#include <OpenEXR/ImfChannelList.h>
#include <OpenEXR/ImfFrameBuffer.h>
#include <OpenEXR/ImfHeader.h>
#include <OpenEXR/ImfInputFile.h>
#include <OpenEXR/ImfOutputFile.h>
#include <OpenEXR/ImfStdIO.h>

#include <cstddef>
#include <vector>

namespace worker {

namespace {

size_t sampleCount(int width, int height, int channels) {
  return static_cast<size_t>(width) * static_cast<size_t>(height) * static_cast<size_t>(channels);
}

/// Encodes the samples as the given type; OpenEXR only converts types on reading.
template <typename Sample>
std::string encodeAs(const Image& image, Imf::PixelType type) {
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
  Imf::StdOSStream stream;
  {
    // The file is complete in the stream once the writer is gone.
    Imf::OutputFile file(stream, header);
    file.setFrameBuffer(frame);
    file.writePixels(image.height);
  }
  return stream.str();
}

}  // namespace

Image decodeExr(const std::string& bytes) {
  Imf::StdISStream stream;
  stream.str(bytes);
  Imf::InputFile file(stream);
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
  char* origin = reinterpret_cast<char*>(image.floats.data()) -
                 static_cast<std::ptrdiff_t>(window.min.x) * static_cast<std::ptrdiff_t>(xStride) -
                 static_cast<std::ptrdiff_t>(window.min.y) * static_cast<std::ptrdiff_t>(yStride);
  Imf::FrameBuffer frame;
  for (int i = 0; i < image.channels; ++i) {
    frame.insert(
        image.channelNames[static_cast<size_t>(i)],
        Imf::Slice(Imf::FLOAT, origin + sizeof(float) * static_cast<size_t>(i), xStride, yStride));
  }
  file.setFrameBuffer(frame);
  file.readPixels(window.min.y, window.max.y);
  return image;
}

std::string encodeExr(const Image& image) {
  return image.samples == Image::Samples::Float ? encodeAs<float>(image, Imf::FLOAT)
                                                : encodeAs<half>(image, Imf::HALF);
}

}  // namespace worker

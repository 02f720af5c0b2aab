// OpenEXR files decoded and encoded in memory by tinyexr (the Windows build has no OpenEXR
// library): scan-line files of one part, as the renderer and the worker write them.
#include "controller/worker/images/exr_codec.h"

#include <tinyexr.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <numeric>
#include <stdexcept>
#include <vector>

namespace worker {

namespace {

/// tinyexr's error text, freed; the fallback when it gave none.
std::runtime_error failure(const char* message, const char* fallback) {
  const std::string text = message ? message : fallback;
  if (message) FreeEXRErrorMessage(message);
  return std::runtime_error(text);
}

/// A parsed header, freed with what tinyexr allocated for it.
struct ParsedHeader {
  ParsedHeader() { InitEXRHeader(&header); }
  ~ParsedHeader() { FreeEXRHeader(&header); }
  EXRHeader header;
};

/// Decoded planes, freed likewise.
struct DecodedPlanes {
  DecodedPlanes() { InitEXRImage(&image); }
  ~DecodedPlanes() { FreeEXRImage(&image); }
  EXRImage image;
};

}  // namespace

Image decodeExr(const std::string& file) {
  const auto* memory = reinterpret_cast<const unsigned char*>(file.data());
  EXRVersion version;
  if (ParseEXRVersionFromMemory(&version, memory, file.size()) != TINYEXR_SUCCESS) {
    throw std::runtime_error("not an OpenEXR file");
  }
  if (version.multipart || version.non_image || version.tiled) {
    throw std::runtime_error("tiled, multi-part and deep files are not supported in this build");
  }
  ParsedHeader parsed;
  EXRHeader& header = parsed.header;
  const char* error = nullptr;
  if (ParseEXRHeaderFromMemory(&header, &version, memory, file.size(), &error) != TINYEXR_SUCCESS) {
    throw failure(error, "the header does not parse");
  }
  Image image;
  image.samples = Image::Samples::Half;
  for (int c = 0; c < header.num_channels; ++c) {
    image.channelNames.push_back(header.channels[c].name);
    if (header.pixel_types[c] == TINYEXR_PIXELTYPE_FLOAT) image.samples = Image::Samples::Float;
    // Half samples come as floats; unsigned ones stay as they are and are converted below.
    if (header.pixel_types[c] == TINYEXR_PIXELTYPE_HALF) {
      header.requested_pixel_types[c] = TINYEXR_PIXELTYPE_FLOAT;
    }
  }
  DecodedPlanes planes;
  if (LoadEXRImageFromMemory(&planes.image, &header, memory, file.size(), &error) !=
      TINYEXR_SUCCESS) {
    throw failure(error, "the pixels do not decode");
  }
  image.width = planes.image.width;
  image.height = planes.image.height;
  image.channels = header.num_channels;
  const size_t pixels = static_cast<size_t>(image.width) * static_cast<size_t>(image.height);
  const size_t channels = static_cast<size_t>(image.channels);
  image.floats.resize(pixels * channels);
  for (size_t c = 0; c < channels; ++c) {
    const unsigned char* plane = planes.image.images[c];
    const bool whole = header.requested_pixel_types[c] == TINYEXR_PIXELTYPE_UINT;
    for (size_t i = 0; i < pixels; ++i) {
      image.floats[i * channels + c] =
          whole ? static_cast<float>(reinterpret_cast<const unsigned int*>(plane)[i])
                : reinterpret_cast<const float*>(plane)[i];
    }
  }
  return image;
}

std::string encodeExr(const Image& image) {
  const size_t pixels = static_cast<size_t>(image.width) * static_cast<size_t>(image.height);
  const size_t channels = static_cast<size_t>(image.channels);
  // The file lists its channels sorted by name, as readers expect; tinyexr writes them as given.
  std::vector<size_t> order(channels);
  std::iota(order.begin(), order.end(), size_t{0});
  std::sort(order.begin(), order.end(),
            [&image](size_t a, size_t b) { return image.channelNames[a] < image.channelNames[b]; });
  std::vector<std::vector<float>> planes(channels, std::vector<float>(pixels));
  std::vector<unsigned char*> planePointers(channels);
  std::vector<EXRChannelInfo> infos(channels);
  std::vector<int> given(channels, TINYEXR_PIXELTYPE_FLOAT);
  std::vector<int> stored(channels, image.samples == Image::Samples::Float
                                        ? TINYEXR_PIXELTYPE_FLOAT
                                        : TINYEXR_PIXELTYPE_HALF);
  for (size_t slot = 0; slot < channels; ++slot) {
    const size_t c = order[slot];
    const std::string& name = image.channelNames[c];
    if (name.empty() || name.size() >= sizeof infos[slot].name) {
      throw std::runtime_error("cannot name a channel \"" + name + "\"");
    }
    std::memset(&infos[slot], 0, sizeof infos[slot]);
    std::memcpy(infos[slot].name, name.c_str(), name.size() + 1);
    for (size_t i = 0; i < pixels; ++i) planes[slot][i] = image.floats[i * channels + c];
    planePointers[slot] = reinterpret_cast<unsigned char*>(planes[slot].data());
  }
  EXRImage planar;
  InitEXRImage(&planar);
  planar.images = planePointers.data();
  planar.width = image.width;
  planar.height = image.height;
  planar.num_channels = image.channels;
  EXRHeader header;
  InitEXRHeader(&header);
  header.num_channels = image.channels;
  header.channels = infos.data();
  header.pixel_types = given.data();
  header.requested_pixel_types = stored.data();
  header.compression_type = TINYEXR_COMPRESSIONTYPE_ZIP;
  unsigned char* bytes = nullptr;
  const char* error = nullptr;
  const size_t size = SaveEXRImageToMemory(&planar, &header, &bytes, &error);
  const std::unique_ptr<unsigned char, void (*)(void*)> owned(bytes, std::free);
  if (size == 0) throw failure(error, "tinyexr wrote nothing");
  if (error) FreeEXRErrorMessage(error);
  return std::string(reinterpret_cast<const char*>(bytes), size);
}

}  // namespace worker

// A decoded image file: its size and its samples, as 8-bit values or as floating point.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace worker {

/// The pixels of one image file, rows from the top, the channels of a pixel side by side.
struct Image {
  /// How the file stores a sample; floating-point files keep their samples in `floats`.
  enum class Samples { Bytes, Half, Float };

  int width = 0;
  int height = 0;
  int channels = 0;
  Samples samples = Samples::Bytes;
  /// OpenEXR channel names in file order (empty for 8-bit files).
  std::vector<std::string> channelNames;
  std::vector<std::uint8_t> bytes;
  std::vector<float> floats;

  /// An empty image of the same kind (samples, channels, names) and the given size.
  Image blankLike(int newWidth, int newHeight) const;
  /// True when both have the same size, kind and sample values (NaN never equals).
  bool samePixels(const Image& other) const;
};

}  // namespace worker

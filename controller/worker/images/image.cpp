// Images of the same kind: blank copies and pixel-for-pixel comparison.
#include "controller/worker/images/image.h"

namespace worker {

Image Image::blankLike(int newWidth, int newHeight) const {
  Image image;
  image.width = newWidth;
  image.height = newHeight;
  image.channels = channels;
  image.samples = samples;
  image.channelNames = channelNames;
  const size_t count = static_cast<size_t>(newWidth) * static_cast<size_t>(newHeight) *
                       static_cast<size_t>(channels);
  if (samples == Samples::Bytes) {
    image.bytes.assign(count, 0);
  } else {
    image.floats.assign(count, 0.0f);
  }
  return image;
}

bool Image::samePixels(const Image& other) const {
  return width == other.width && height == other.height && channels == other.channels &&
         samples == other.samples && channelNames == other.channelNames && bytes == other.bytes &&
         floats == other.floats;
}

}  // namespace worker

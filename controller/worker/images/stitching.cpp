// Stitching tile images after checking that they cover the frame exactly.
#include "controller/worker/images/stitching.h"

#include <algorithm>
#include <string>

namespace worker {

namespace {

std::string describe(const controller::Tile& tile) {
  return "tile " + std::to_string(tile.column) + "," + std::to_string(tile.row);
}

void checkCoverage(const std::vector<TileImage>& tiles, int width, int height) {
  std::vector<unsigned char> covered(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
  for (const TileImage& part : tiles) {
    const controller::Tile& t = part.tile;
    if (t.left < 0 || t.top < 0 || t.right > width || t.bottom > height || t.width() <= 0 ||
        t.height() <= 0) {
      throw StitchError(describe(t) + " lies outside the frame");
    }
    for (int y = t.top; y < t.bottom; ++y) {
      for (int x = t.left; x < t.right; ++x) {
        unsigned char& count =
            covered[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
        if (count++ > 0) {
          throw StitchError(describe(t) + " overlaps another tile at pixel " + std::to_string(x) +
                            "," + std::to_string(y));
        }
      }
    }
  }
  const auto gap = std::find(covered.begin(), covered.end(), 0);
  if (gap != covered.end()) {
    const size_t at = static_cast<size_t>(gap - covered.begin());
    throw StitchError("no tile covers pixel " + std::to_string(at % static_cast<size_t>(width)) +
                      "," + std::to_string(at / static_cast<size_t>(width)));
  }
}

void checkImages(const std::vector<TileImage>& tiles) {
  const Image& first = tiles.front().image;
  for (const TileImage& part : tiles) {
    const Image& image = part.image;
    if (image.width != part.tile.width() || image.height != part.tile.height()) {
      throw StitchError(describe(part.tile) + " image is " + std::to_string(image.width) + "x" +
                        std::to_string(image.height) + ", expected " +
                        std::to_string(part.tile.width()) + "x" +
                        std::to_string(part.tile.height()));
    }
    if (image.samples != first.samples || image.channels != first.channels ||
        image.channelNames != first.channelNames) {
      throw StitchError(describe(part.tile) + " image has other channels than the first tile");
    }
  }
}

/// Copies one tile's rows into the frame; works on either sample vector.
template <typename Sample>
void place(const std::vector<Sample>& source, const controller::Tile& tile, int channels,
           int frameWidth, std::vector<Sample>& destination) {
  const size_t rowLength = static_cast<size_t>(tile.width()) * static_cast<size_t>(channels);
  for (int y = 0; y < tile.height(); ++y) {
    const size_t from = static_cast<size_t>(y) * rowLength;
    const size_t to = (static_cast<size_t>(tile.top + y) * static_cast<size_t>(frameWidth) +
                       static_cast<size_t>(tile.left)) *
                      static_cast<size_t>(channels);
    std::copy(source.begin() + static_cast<std::ptrdiff_t>(from),
              source.begin() + static_cast<std::ptrdiff_t>(from + rowLength),
              destination.begin() + static_cast<std::ptrdiff_t>(to));
  }
}

}  // namespace

Image stitchTiles(const std::vector<TileImage>& tiles, int width, int height) {
  if (tiles.empty()) throw StitchError("no tiles to stitch");
  checkImages(tiles);
  checkCoverage(tiles, width, height);
  Image frame = tiles.front().image.blankLike(width, height);
  for (const TileImage& part : tiles) {
    if (frame.samples == Image::Samples::Bytes) {
      place(part.image.bytes, part.tile, frame.channels, width, frame.bytes);
    } else {
      place(part.image.floats, part.tile, frame.channels, width, frame.floats);
    }
  }
  return frame;
}

}  // namespace worker

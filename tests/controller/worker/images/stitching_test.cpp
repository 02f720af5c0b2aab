// Stitching: tiles put the frame together, or it says why they cannot.
#include "controller/worker/images/stitching.h"

#include <gtest/gtest.h>

namespace {

using controller::Tile;
using worker::Image;
using worker::TileImage;

Image numbered(int width, int height) {
  Image image;
  image.channels = 2;
  image = image.blankLike(width, height);
  for (size_t i = 0; i < image.bytes.size(); ++i) image.bytes[i] = static_cast<uint8_t>(i * 7 + 1);
  return image;
}

Image cut(const Image& frame, const Tile& tile) {
  Image part = frame.blankLike(tile.width(), tile.height());
  for (int y = 0; y < tile.height(); ++y) {
    for (int x = 0; x < tile.width() * frame.channels; ++x) {
      part.bytes[static_cast<size_t>(y * tile.width() * frame.channels + x)] =
          frame.bytes[static_cast<size_t>((tile.top + y) * frame.width * frame.channels +
                                          tile.left * frame.channels + x)];
    }
  }
  return part;
}

TEST(StitchingTest, PutsTheTilesBackIntoTheFrame) {
  const Image frame = numbered(7, 5);
  std::vector<TileImage> parts;
  for (const Tile& tile : controller::layoutTiles(7, 5, 2, 2))
    parts.push_back({tile, cut(frame, tile)});
  EXPECT_TRUE(worker::stitchTiles(parts, 7, 5).samePixels(frame));
}

TEST(StitchingTest, RefusesTilesThatDoNotMakeUpTheFrame) {
  const Image frame = numbered(4, 4);
  auto parts = [&] {
    std::vector<TileImage> list;
    for (const Tile& tile : controller::layoutTiles(4, 4, 2, 1))
      list.push_back({tile, cut(frame, tile)});
    return list;
  };
  auto message = [](const std::vector<TileImage>& list) {
    try {
      worker::stitchTiles(list, 4, 4);
    } catch (const worker::StitchError& error) {
      return std::string(error.what());
    }
    return std::string("stitched");
  };

  std::vector<TileImage> wrongSize = parts();
  wrongSize[1].image = numbered(2, 3);
  EXPECT_EQ(message(wrongSize), "tile 1,0 image is 2x3, expected 2x4");

  std::vector<TileImage> gap = parts();
  gap.pop_back();
  EXPECT_EQ(message(gap), "no tile covers pixel 2,0");

  std::vector<TileImage> overlap = parts();
  overlap[1].tile.left = 1;
  overlap[1].tile.right = 3;
  EXPECT_EQ(message(overlap), "tile 1,0 overlaps another tile at pixel 1,0");

  std::vector<TileImage> outside = parts();
  outside[1].tile.right = 5;
  outside[1].tile.left = 3;
  EXPECT_EQ(message(outside), "tile 1,0 lies outside the frame");

  std::vector<TileImage> otherKind = parts();
  otherKind[1].image.channels = 1;
  otherKind[1].image.bytes.resize(8);
  EXPECT_EQ(message(otherKind), "tile 1,0 image has other channels than the first tile");
}

}  // namespace

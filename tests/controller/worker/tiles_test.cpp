// Tiles: the grid covers the frame, names carry the tile, and stitching puts the frame together
// or says why it cannot.
#include "controller/worker/stitching.h"
#include "controller/worker/tile_layout.h"

#include <gtest/gtest.h>

namespace {

using worker::Image;
using worker::Tile;
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

TEST(TileLayoutTest, SplitsTheFrameIntoNearlyEqualTilesRowByRow) {
  const std::vector<Tile> tiles = worker::layoutTiles(10, 5, 3, 2);
  ASSERT_EQ(tiles.size(), 6u);
  const int expected[6][6] = {{0, 0, 0, 0, 3, 2}, {1, 0, 3, 0, 6, 2}, {2, 0, 6, 0, 10, 2},
                              {0, 1, 0, 2, 3, 5}, {1, 1, 3, 2, 6, 5}, {2, 1, 6, 2, 10, 5}};
  for (size_t i = 0; i < tiles.size(); ++i) {
    const Tile& t = tiles[i];
    EXPECT_EQ((std::vector<int>{t.column, t.row, t.left, t.top, t.right, t.bottom}),
              std::vector<int>(expected[i], expected[i] + 6));
  }
  EXPECT_THROW(worker::layoutTiles(2, 2, 3, 1), std::invalid_argument);
}

TEST(TileLayoutTest, TagsAndUntagsFileNames) {
  Tile tile;
  tile.column = 1;
  tile.row = 0;
  EXPECT_EQ(worker::taggedName("R:\\out\\shot.tga", tile), "R:\\out\\tile_1_0_shot.tga");
  EXPECT_EQ(worker::taggedName("/out/shot.tga", tile), "/out/tile_1_0_shot.tga");
  EXPECT_EQ(worker::taggedName("shot.tga", tile), "tile_1_0_shot.tga");
  EXPECT_EQ(worker::untaggedName("R:\\out\\tile_1_0_shot0005.tga", tile), "R:\\out\\shot0005.tga");
  EXPECT_EQ(worker::untaggedName("R:\\out\\A_tile_1_0_shot0005.tga", tile),
            "R:\\out\\A_shot0005.tga");
  EXPECT_EQ(worker::untaggedName("R:\\tile_1_0_\\shot0005.tga", tile),
            "R:\\tile_1_0_\\shot0005.tga");
}

TEST(StitchingTest, PutsTheTilesBackIntoTheFrame) {
  const Image frame = numbered(7, 5);
  std::vector<TileImage> parts;
  for (const Tile& tile : worker::layoutTiles(7, 5, 2, 2))
    parts.push_back({tile, cut(frame, tile)});
  EXPECT_TRUE(worker::stitchTiles(parts, 7, 5).samePixels(frame));
}

TEST(StitchingTest, RefusesTilesThatDoNotMakeUpTheFrame) {
  const Image frame = numbered(4, 4);
  auto parts = [&] {
    std::vector<TileImage> list;
    for (const Tile& tile : worker::layoutTiles(4, 4, 2, 1))
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

// Tile layout: the grid covers the frame and file names carry the tile.
#include "controller/common/tile_layout.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

TEST(TileLayoutTest, SplitsTheFrameIntoNearlyEqualTilesRowByRow) {
  const std::vector<controller::Tile> tiles = controller::layoutTiles(10, 5, 3, 2);
  ASSERT_EQ(tiles.size(), 6u);
  const int expected[6][6] = {{0, 0, 0, 0, 3, 2}, {1, 0, 3, 0, 6, 2}, {2, 0, 6, 0, 10, 2},
                              {0, 1, 0, 2, 3, 5}, {1, 1, 3, 2, 6, 5}, {2, 1, 6, 2, 10, 5}};
  for (size_t i = 0; i < tiles.size(); ++i) {
    const controller::Tile& t = tiles[i];
    EXPECT_EQ((std::vector<int>{t.column, t.row, t.left, t.top, t.right, t.bottom}),
              std::vector<int>(expected[i], expected[i] + 6));
  }
  EXPECT_THROW(controller::layoutTiles(2, 2, 3, 1), std::invalid_argument);
}

TEST(TileLayoutTest, TagsAndUntagsFileNames) {
  controller::Tile tile;
  tile.column = 1;
  tile.row = 0;
  EXPECT_EQ(controller::taggedName("R:\\out\\shot.tga", tile), "R:\\out\\tile_1_0_shot.tga");
  EXPECT_EQ(controller::taggedName("/out/shot.tga", tile), "/out/tile_1_0_shot.tga");
  EXPECT_EQ(controller::taggedName("shot.tga", tile), "tile_1_0_shot.tga");
  EXPECT_EQ(controller::untaggedName("R:\\out\\tile_1_0_shot0005.tga", tile),
            "R:\\out\\shot0005.tga");
  EXPECT_EQ(controller::untaggedName("R:\\out\\A_tile_1_0_shot0005.tga", tile),
            "R:\\out\\A_shot0005.tga");
  EXPECT_EQ(controller::untaggedName("R:\\tile_1_0_\\shot0005.tga", tile),
            "R:\\tile_1_0_\\shot0005.tga");
}

}  // namespace

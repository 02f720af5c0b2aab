// Tiles of a frame: a grid of rectangles that covers the image, and the file names of tiles.
#pragma once

#include <string>
#include <vector>

namespace controller {

/// One tile: its place in the grid and its rectangle in image pixels (right and bottom
/// exclusive).
struct Tile {
  int column = 0;
  int row = 0;
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  int width() const { return right - left; }
  int height() const { return bottom - top; }
  /// The tag put before a file's name for this tile: "tile_<column>_<row>_".
  std::string tag() const;
};

/// Splits a width x height image into columns x rows tiles, row by row from the top left; the
/// sizes differ by at most one pixel. Throws std::invalid_argument when a tile would be empty.
std::vector<Tile> layoutTiles(int width, int height, int columns, int rows);

/// The path with the tile's tag put before its file name (after the last / or \).
std::string taggedName(const std::string& path, const Tile& tile);
/// The path with the first tile tag in its file name taken out, or the path unchanged when its
/// file name holds none. For names the plug-in formed from a tagged name ("A_" alpha files and
/// numbered names keep the tag inside the file name).
std::string untaggedName(const std::string& path, const Tile& tile);

}  // namespace controller

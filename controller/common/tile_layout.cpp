// The tile grid and tile file names.
#include "controller/common/tile_layout.h"

#include <stdexcept>

namespace controller {

namespace {
size_t leafStart(const std::string& path) {
  const size_t separator = path.find_last_of("/\\");
  return separator == std::string::npos ? 0 : separator + 1;
}

/// Where the n-th of `parts` equal parts of `size` begins.
int split(int size, int parts, int n) {
  return static_cast<int>(static_cast<long long>(size) * n / parts);
}
}  // namespace

std::string Tile::tag() const {
  return "tile_" + std::to_string(column) + "_" + std::to_string(row) + "_";
}

std::vector<Tile> layoutTiles(int width, int height, int columns, int rows) {
  if (columns < 1 || rows < 1 || columns > width || rows > height) {
    throw std::invalid_argument("cannot split a " + std::to_string(width) + "x" +
                                std::to_string(height) + " image into " + std::to_string(columns) +
                                "x" + std::to_string(rows) + " tiles");
  }
  std::vector<Tile> tiles;
  for (int row = 0; row < rows; ++row) {
    for (int column = 0; column < columns; ++column) {
      tiles.push_back({column, row, split(width, columns, column), split(height, rows, row),
                       split(width, columns, column + 1), split(height, rows, row + 1)});
    }
  }
  return tiles;
}

std::string taggedName(const std::string& path, const Tile& tile) {
  std::string name = path;
  return name.insert(leafStart(path), tile.tag());
}

std::string untaggedName(const std::string& path, const Tile& tile) {
  const size_t at = path.find(tile.tag(), leafStart(path));
  if (at == std::string::npos) return path;
  std::string name = path;
  return name.erase(at, tile.tag().size());
}

}  // namespace controller

// Putting the tile images of a frame together into the frame's full image.
#pragma once

#include "controller/worker/images/image.h"
#include "controller/common/tile_layout.h"

#include <stdexcept>
#include <vector>

namespace worker {

/// Tiles that do not make up the frame; the message says how.
class StitchError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

/// One tile's rectangle and its image.
struct TileImage {
  controller::Tile tile;
  Image image;
};

/// The width x height image made of the tiles. Checks first that every tile image has its
/// rectangle's size and the kind of the first, and that the rectangles cover the image exactly
/// (every pixel once, none outside). Throws StitchError.
Image stitchTiles(const std::vector<TileImage>& tiles, int width, int height);

}  // namespace worker

// What the stand-in renderer draws: a background, animated shapes and frames blacked out on
// purpose.
#pragma once

#include "max.h"

#include "bmmlib.h"

#include <string>
#include <vector>

namespace standin {

/// Where a shape's centre is at a frame; positions are fractions of the image's width and height.
struct ShapeKey {
  double frame;
  double x;
  double y;
};

/// A filled disc or box. Sizes are fractions of the image height (disc radius, box half-extents)
/// so that a scene looks the same at any resolution.
struct Shape {
  enum class Kind { Disc, Box };
  Kind kind = Kind::Disc;
  BMM_Color_fl color{1, 1, 1, 1};
  double radius = 0.1;
  double halfWidth = 0.1;
  double halfHeight = 0.1;
  std::vector<ShapeKey> keys;  // sorted by frame; at least one

  /// Centre at a (fractional) frame: linear between keys, held before the first and after the last.
  ShapeKey centreAt(double frame) const;
  bool covers(double u, double v, double frame, double aspectOfImage) const;
};

/// Frames from `first` to `last` whose top `fraction` of rows is opaque black.
struct Blackout {
  int first;
  int last;
  double fraction;
};

/// The colour of a pixel, and whether a shape covered it.
struct Shading {
  BMM_Color_fl color;
  bool covered;
};

/// The picture of a scene.
struct ImageModel {
  BMM_Color_fl background{0.1f, 0.1f, 0.15f, 1.0f};
  std::vector<Shape> shapes;  // later shapes are drawn over earlier ones
  std::vector<Blackout> blackouts;

  /// The pixel at (x, y) of a width x height image at a frame; (x, y) may be fractional (a
  /// camera's pan moves them).
  Shading shade(double x, double y, int width, int height, double frame) const;
  /// Whether row y of a `height`-row image is blacked out at the frame.
  bool blackedOut(int y, int height, int frame) const;
};

}  // namespace standin

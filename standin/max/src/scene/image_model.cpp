// The picture of a scene: where its shapes are at a frame and what colour each pixel gets.
#include "scene/image_model.h"

#include <cmath>

namespace standin {

ShapeKey Shape::centreAt(double frame) const {
  if (frame <= keys.front().frame) return keys.front();
  for (size_t i = 1; i < keys.size(); ++i) {
    const ShapeKey& a = keys[i - 1];
    const ShapeKey& b = keys[i];
    if (frame <= b.frame) {
      const double s = b.frame > a.frame ? (frame - a.frame) / (b.frame - a.frame) : 1.0;
      return {frame, a.x + s * (b.x - a.x), a.y + s * (b.y - a.y)};
    }
  }
  return keys.back();
}

bool Shape::covers(double u, double v, double frame, double aspectOfImage) const {
  const ShapeKey c = centreAt(frame);
  // Sizes are in heights: scale horizontal distances by width / height.
  const double dx = (u - c.x) * aspectOfImage;
  const double dy = v - c.y;
  if (kind == Kind::Disc) return dx * dx + dy * dy <= radius * radius;
  return std::fabs(dx) <= halfWidth && std::fabs(dy) <= halfHeight;
}

Shading ImageModel::shade(double x, double y, int width, int height, double frame) const {
  const double u = (x + 0.5) / width;
  const double v = (y + 0.5) / height;
  const double aspectOfImage = static_cast<double>(width) / height;
  Shading result{background, false};
  for (const Shape& shape : shapes) {
    if (shape.covers(u, v, frame, aspectOfImage)) result = {shape.color, true};
  }
  return result;
}

bool ImageModel::blackedOut(int y, int height, int frame) const {
  for (const Blackout& b : blackouts) {
    if (frame >= b.first && frame <= b.last && y < b.fraction * height) return true;
  }
  return false;
}

}  // namespace standin

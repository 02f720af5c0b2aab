// Pixel storage of a bitmap: rows of RGBA colours as deep as the bitmap's type, read and written
// in runs of floating-point colours.
#include "max.h"

#include "bmmlib.h"

#include <algorithm>

namespace {

const size_t channels = 4;
const float largestLevel = 65535.0f;

bool inside(int x, int y, int count, int width, int height) {
  return count >= 0 && x >= 0 && y >= 0 && y < height && x + count <= width;
}

// The nearest level, a value halfway between two taking the upper. Computed in float, as the
// 8-bit image files compute their bytes: then a file written from the level gets the byte it would
// from the original float, including the floats that rounding puts on a halfway point. Values
// outside 0..1 are clamped and NaN is taken as 0: an integer channel holds neither.
uint16_t level(float value) {
  if (!(value > 0.0f)) return 0;
  if (value >= 1.0f) return static_cast<uint16_t>(largestLevel);
  return static_cast<uint16_t>(value * largestLevel + 0.5f);
}

float fromLevel(uint16_t level) {
  return level / largestLevel;
}

}  // namespace

// Floats for a floating-point bitmap, 16-bit levels for every other: a 64-bit bitmap held as
// floats would take twice the memory a frame's bitmaps need. Bitmaps of the 8-bit types are held
// at 16 bits too, so that what is written to them reads back as the same 8-bit value.
BitmapStorage::BitmapStorage(int width, int height, int type) : width_(width), height_(height) {
  const size_t pixels = static_cast<size_t>(width) * height;
  if (type == BMM_FLOAT_RGBA_32) {
    floatPixels_.resize(pixels);
  } else {
    levels_.resize(pixels * channels);
  }
}

int BitmapStorage::GetPixels(int x, int y, int count, BMM_Color_fl* out) const {
  if (!out || !inside(x, y, count, width_, height_)) return FALSE;
  const size_t first = static_cast<size_t>(y) * width_ + x;
  if (!floatPixels_.empty()) {
    std::copy(floatPixels_.begin() + first, floatPixels_.begin() + first + count, out);
    return TRUE;
  }
  const uint16_t* in = levels_.data() + first * channels;
  for (int i = 0; i < count; ++i, in += channels) {
    out[i] = BMM_Color_fl(fromLevel(in[0]), fromLevel(in[1]), fromLevel(in[2]), fromLevel(in[3]));
  }
  return TRUE;
}

int BitmapStorage::PutPixels(int x, int y, int count, const BMM_Color_fl* in) {
  if (!in || !inside(x, y, count, width_, height_)) return FALSE;
  const size_t first = static_cast<size_t>(y) * width_ + x;
  if (!floatPixels_.empty()) {
    std::copy(in, in + count, floatPixels_.begin() + first);
    return TRUE;
  }
  uint16_t* out = levels_.data() + first * channels;
  for (int i = 0; i < count; ++i, out += channels) {
    out[0] = level(in[i].r);
    out[1] = level(in[i].g);
    out[2] = level(in[i].b);
    out[3] = level(in[i].a);
  }
  return TRUE;
}

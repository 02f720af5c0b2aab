// Pixel storage of a bitmap: rows of floating-point RGBA colours, read and written in runs.
#include "bitmap.h"

#include <algorithm>

BitmapStorage::BitmapStorage(int width, int height)
    : width_(width), height_(height), pixels_(static_cast<size_t>(width) * height) {}

int BitmapStorage::GetPixels(int x, int y, int count, BMM_Color_fl* out) const {
  if (!out || count < 0 || x < 0 || y < 0 || y >= height_ || x + count > width_) return FALSE;
  const auto first = pixels_.begin() + static_cast<size_t>(y) * width_ + x;
  std::copy(first, first + count, out);
  return TRUE;
}

int BitmapStorage::PutPixels(int x, int y, int count, const BMM_Color_fl* in) {
  if (!in || count < 0 || x < 0 || y < 0 || y >= height_ || x + count > width_) return FALSE;
  std::copy(in, in + count, pixels_.begin() + static_cast<size_t>(y) * width_ + x);
  return TRUE;
}

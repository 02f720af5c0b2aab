// Test helpers for images: bitmaps filled by a rule, and image files read back from disk.
#pragma once

#include "render/bitmap_holder.h"

#include <max.h>

#include <bmmlib.h>
#include <stb_image.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

using BitmapPtr = moonstone::BitmapHolder;

/// A width x height bitmap of the type from the bitmap manager whose pixel (x, y) is colour(x, y).
inline BitmapPtr makeBitmap(int width, int height,
                            const std::function<BMM_Color_fl(int, int)>& colour,
                            int type = BMM_TRUE_64) {
  BitmapInfo info;
  info.SetWidth(static_cast<WORD>(width));
  info.SetHeight(static_cast<WORD>(height));
  info.SetType(type);
  BitmapPtr bitmap(TheManager->Create(&info));
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const BMM_Color_fl c = colour(x, y);
      bitmap->PutPixels(x, y, 1, &c);
    }
  }
  return bitmap;
}

/// An opaque colour that tells its pixel's place in an 8-bit file: red x, green y (both < 256).
inline BMM_Color_fl coordinateColour(int x, int y) {
  return BMM_Color_fl(x / 255.0f, y / 255.0f, 0.5f, 1.0f);
}

/// An image file as stored: size, channels, and the 8-bit samples row by row from the top.
struct Image {
  int width = 0;
  int height = 0;
  int channels = 0;
  std::vector<unsigned char> samples;

  unsigned char at(int x, int y, int channel) const {
    return samples[(static_cast<size_t>(y) * width + x) * channels + channel];
  }
};

/// Reads an 8-bit image file; an empty Image when it cannot be read.
inline Image readImage(const std::filesystem::path& file) {
  Image image;
  unsigned char* data =
      stbi_load(file.string().c_str(), &image.width, &image.height, &image.channels, 0);
  if (!data) return Image();
  image.samples.assign(data,
                       data + static_cast<size_t>(image.width) * image.height * image.channels);
  stbi_image_free(data);
  return image;
}

// Test helper: the small picture the image-file tests write, and writing a bitmap as a file.
#pragma once

#include <max.h>

#include <bmmlib.h>

#include <memory>
#include <string>

struct BitmapDeleter {
  void operator()(Bitmap* bitmap) const { bitmap->DeleteThis(); }
};
using BitmapPtr = std::unique_ptr<Bitmap, BitmapDeleter>;

const int pictureWidth = 7;
const int pictureHeight = 5;

/// The test picture: r rises to the right, g downwards, b constant, alpha 1 except one pixel.
inline BMM_Color_fl testColour(int x, int y) {
  return BMM_Color_fl(x / float(pictureWidth - 1), y / float(pictureHeight - 1), 0.25f,
                      x == 1 && y == 1 ? 0.0f : 1.0f);
}

/// A bitmap of the given type holding the test picture.
inline BitmapPtr testPicture(int type = BMM_TRUE_64) {
  BitmapInfo bi;
  bi.SetWidth(pictureWidth);
  bi.SetHeight(pictureHeight);
  bi.SetType(type);
  BitmapPtr bitmap(TheManager->Create(&bi));
  for (int y = 0; y < pictureHeight; ++y) {
    for (int x = 0; x < pictureWidth; ++x) {
      const BMM_Color_fl c = testColour(x, y);
      bitmap->PutPixels(x, y, 1, &c);
    }
  }
  return bitmap;
}

/// Writes the bitmap as the named file through the output calls; the last non-zero result.
inline BMMRES writeBitmap(Bitmap* bitmap, BitmapInfo& bi) {
  if (BMMRES r = bitmap->OpenOutput(&bi)) return r;
  if (BMMRES r = bitmap->Write(&bi, BMM_SINGLEFRAME)) return r;
  return bitmap->Close(&bi, BMM_CLOSE_COMPLETE);
}

/// The colour of the EXR picture's first pixel: beyond what 8-bit files hold.
const BMM_Color_fl exrBrightPixel(4.5f, -0.5f, 0.125f, 1.0f);
/// The EXR picture's pixel aspect.
const float exrPixelAspect = 1.25f;

/// Writes the EXR picture (the test picture with its bright first pixel and its pixel aspect) from
/// a bitmap of the given type as the named file.
inline BMMRES writeExrPicture(int type, const std::string& file) {
  BitmapPtr bitmap = testPicture(type);
  bitmap->PutPixels(0, 0, 1, &exrBrightPixel);
  BitmapInfo bi;
  bi.SetName(file.c_str());
  bi.SetAspect(exrPixelAspect);
  return writeBitmap(bitmap.get(), bi);
}

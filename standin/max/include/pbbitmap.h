// Bitmap parameters: an image description with the bitmap made for it.
#pragma once

#ifndef STANDIN_MAX_H
#error "include max.h first: the SDK headers are not self-contained"
#endif

// The host's own header declares its members with the parameter-block library's export macro,
// which only iparamb2.h defines.
#ifndef PB2Export
#error "include iparamb2.h first: pbbitmap.h needs its PB2Export"
#endif

#include "bitmap.h"

/// A bitmap parameter: an image description and the bitmap made for it (null until set).
class PBBitmap {
 public:
  PBBitmap() : bm(nullptr) {}
  BitmapInfo bi;
  Bitmap* bm;
};

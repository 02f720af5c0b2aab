// The bitmap manager: makes bitmaps from image descriptions.
#include "max.h"

#include "bmmlib.h"

Bitmap* BitmapManager::Create(BitmapInfo* bi) {
  if (!bi || bi->Width() == 0 || bi->Height() == 0) return nullptr;
  return new Bitmap(bi->Width(), bi->Height(), bi->Type());
}

namespace {
BitmapManager theManager;
}

BitmapManager* TheManager = &theManager;

// The one owner type for the bitmaps the plug-in makes: released with the host's delete operation.
#pragma once

#include <max.h>

#include <bmmlib.h>

#include <memory>

namespace moonstone {

/// Releases a bitmap with the host's delete operation (bitmaps are the host's objects: never
/// `delete`d by the plug-in).
struct BitmapRelease {
  void operator()(Bitmap* bitmap) const { bitmap->DeleteThis(); }
};

/// A bitmap the plug-in made and owns: released on every way out of its owner.
using BitmapHolder = std::unique_ptr<Bitmap, BitmapRelease>;

/// Releases a bitmap the plug-in made but had to hand to a host structure as a plain pointer
/// (a render element's output bitmap), and clears the pointer.
inline void releaseBitmap(Bitmap*& bitmap) {
  if (bitmap) BitmapRelease()(bitmap);
  bitmap = nullptr;
}

}  // namespace moonstone

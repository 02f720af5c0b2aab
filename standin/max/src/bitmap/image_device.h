// Image devices: the writers of image files, chosen by device name or by file-name extension.
#pragma once

#include "max.h"

#include "bmmlib.h"

#include <string>
#include <vector>

namespace standin {

/// Writes a bitmap as one kind of image file.
class ImageDevice {
 public:
  virtual ~ImageDevice() = default;
  /// The device's name, as BitmapInfo::Device() gives it.
  virtual const char* name() const = 0;
  /// The file-name extensions (lower case, with the dot) that select this device.
  virtual std::vector<std::string> extensions() const = 0;
  /// Writes `bitmap` to the file at the POSIX path, with bi's settings. Creates no folder.
  virtual BMMRES write(const Bitmap& bitmap, const BitmapInfo& bi,
                       const std::string& path) const = 0;
};

/// The device that writes bi's file: the one bi.Device() names, or, when that is empty, the one
/// for the extension of bi.Name() (any letter case). Null when there is none.
const ImageDevice* deviceFor(const BitmapInfo& bi);

/// The device for a file name's extension, or null.
const ImageDevice* deviceForFileName(const std::string& fileName);

/// The bitmap's pixels as 8-bit channels, row by row from the top: `channels` 1 (alpha as grey),
/// 3 (RGB) or 4 (RGBA); values clamped to 0..1 and rounded.
std::vector<unsigned char> eightBitPixels(const Bitmap& bitmap, int channels);

}  // namespace standin

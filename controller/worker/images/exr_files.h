// Floating-point image files (OpenEXR), read and written through the build's EXR library.
#pragma once

#include "controller/worker/images/image.h"
#include "controller/worker/images/image_files.h"

#include <string>

namespace worker {

/// Decodes an OpenEXR file into floating-point samples with its channel names, in the file's
/// order. Throws ImageError ("does not decode: ..." or, for a file that ends early, "is truncated:
/// ..."), in the same words on every platform for a file that is missing, not OpenEXR or cut off.
Image readExr(const std::string& path);

/// Writes a floating-point image as OpenEXR (ZIP compression), half or float as its samples are.
/// Throws ImageError ("cannot write PATH...").
void writeExr(const std::string& path, const Image& image);

}  // namespace worker

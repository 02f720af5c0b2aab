// Floating-point image files (OpenEXR), read and written where the build has a library for them.
#pragma once

#include "controller/worker/images/image.h"
#include "controller/worker/images/image_files.h"

#include <string>

namespace worker {

/// Decodes an OpenEXR file into floating-point samples with its channel names. Throws
/// ImageError ("does not decode: ...").
Image readExr(const std::string& path);

/// Writes a floating-point image as OpenEXR, half or float as its samples are. Throws ImageError.
void writeExr(const std::string& path, const Image& image);

}  // namespace worker

// The OpenEXR library of the build, behind one pair of calls: a whole file's bytes to an image and
// back. exr_files.cpp does what both builds share around it (the file, its checks, the messages).
#pragma once

#include "controller/worker/images/image.h"

#include <string>

namespace worker {

/// Decodes the bytes of a whole OpenEXR file: the channels in the file's order under their names,
/// every sample as a float, `samples` Float when any channel stores floats and Half otherwise.
/// Throws std::exception with the library's reason.
Image decodeExr(const std::string& file);

/// Encodes a Half or Float image as the bytes of an OpenEXR file with ZIP compression, each
/// channel stored as the image's samples are. Throws std::exception with the library's reason.
std::string encodeExr(const Image& image);

}  // namespace worker

// Reading and writing the image files the plug-in produces (Targa, PNG, JPEG, BMP, OpenEXR).
#pragma once

#include "controller/worker/images/image.h"

#include <stdexcept>
#include <string>

namespace worker {

/// A file that cannot be read or written as an image; the message says why (for reading it
/// begins "does not decode: ", without the file's name).
class ImageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

/// Decodes the file: OpenEXR by its extension (.exr, any case), every other file through the
/// 8-bit decoders, which recognise Targa, PNG, JPEG and BMP by their content. Throws ImageError.
Image readImage(const std::string& path);

/// Writes the image in the format its extension names (.tga, .png, .bmp, .jpg/.jpeg, .exr); an
/// 8-bit image cannot be written as OpenEXR nor a floating-point one in the 8-bit formats.
/// Throws ImageError.
void writeImage(const std::string& path, const Image& image);

}  // namespace worker

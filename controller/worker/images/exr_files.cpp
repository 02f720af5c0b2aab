// OpenEXR files: what both builds share around their library (exr_codec.h): the file read whole
// and written whole, the failures named in the same words whichever library decodes.
#include "controller/worker/images/exr_files.h"

#include "controller/worker/images/exr_codec.h"
#include "controller/worker/images/exr_extent.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>

namespace worker {

namespace {

/// The four bytes every OpenEXR file begins with.
const char magicNumber[] = {'\x76', '\x2f', '\x31', '\x01'};

/// The file's bytes; false when it cannot be opened.
bool readWhole(const std::string& path, std::string& bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

}  // namespace

Image readExr(const std::string& path) {
  std::string file;
  if (!readWhole(path, file)) throw ImageError("does not decode: cannot open the file");
  if (file.compare(0, sizeof magicNumber, magicNumber, sizeof magicNumber) != 0) {
    throw ImageError("does not decode: not an OpenEXR file");
  }
  if (exrEndsEarly(file)) throw ImageError("is truncated: the file ends before its image");
  try {
    return decodeExr(file);
  } catch (const std::exception& error) {
    throw ImageError(std::string("does not decode: ") + error.what());
  }
}

void writeExr(const std::string& path, const Image& image) {
  if (image.samples == Image::Samples::Bytes) {
    throw ImageError("cannot write 8-bit pixels as OpenEXR: " + path);
  }
  std::string file;
  try {
    file = encodeExr(image);
  } catch (const std::exception& error) {
    throw ImageError("cannot write " + path + ": " + error.what());
  }
  const std::unique_ptr<std::FILE, int (*)(std::FILE*)> out(std::fopen(path.c_str(), "wb"),
                                                            std::fclose);
  if (!out || std::fwrite(file.data(), 1, file.size(), out.get()) != file.size() ||
      std::fflush(out.get()) != 0) {
    throw ImageError("cannot write " + path + ": " + std::strerror(errno));
  }
}

}  // namespace worker

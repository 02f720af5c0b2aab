// OpenEXR files in the Windows build: no OpenEXR library is built for Windows, so checking,
// stitching or writing one fails with a clear error instead of a wrong answer.
#include "controller/worker/images/exr_files.h"

namespace worker {

Image readExr(const std::string&) {
  throw ImageError("does not decode: the OpenEXR format is not supported in this build");
}

void writeExr(const std::string& path, const Image&) {
  throw ImageError("cannot write " + path + ": the OpenEXR format is not supported in this build");
}

}  // namespace worker

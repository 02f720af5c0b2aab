// Checking a decoded image against the frame it belongs to.
#include "controller/worker/images/image_check.h"

#include <algorithm>
#include <cmath>

namespace worker {

std::string imageProblem(const Image& image, int width, int height) {
  if (image.width != width || image.height != height) {
    return "size " + std::to_string(image.width) + "x" + std::to_string(image.height) +
           ", expected " + std::to_string(width) + "x" + std::to_string(height);
  }
  const auto nans = std::count_if(image.floats.begin(), image.floats.end(),
                                  [](float sample) { return std::isnan(sample); });
  if (nans > 0) return std::to_string(nans) + " NaN samples";
  return "";
}

}  // namespace worker

// What makes a written image acceptable: the size the frame should have, and no NaN samples.
#pragma once

#include "controller/worker/images/image.h"

#include <string>

namespace worker {

/// The problem with an image that should be width x height, or an empty text when there is
/// none: a different size, or not-a-number samples in a floating-point image.
std::string imageProblem(const Image& image, int width, int height);

}  // namespace worker

// The black-frame test of a rendered frame.
#pragma once

#include "render/render_job.h"

#include <max.h>

#include <bmmlib.h>

namespace moonstone {

/// Returns when fewer than job.blackPixelPercentage percent of bm's pixels are black under
/// job.blackPixelThreshold; throws std::runtime_error with the failure text otherwise. A bitmap
/// without pixels counts as entirely black.
void CheckBlackFrame(RenderJob& job, Bitmap* bm);

}  // namespace moonstone

// Rendering one frame as a grid of tiles and stitching them into the frame's images.
#pragma once

#include "controller/worker/run/frame_steps.h"
#include "controller/worker/run/options.h"
#include "controller/worker/images/output_names.h"

namespace worker {

/// Renders the frame tile by tile (RegionRendering and, for the main image, a tagged
/// OutputImageFilename per tile), stitches each written file's tiles under the frame's own name
/// and checks the results into `checked`. The output must be at least one pixel per tile.
controller::Expected<void> renderTiles(FrameSteps& steps, const RenderOptions& options,
                                       const OutputDescription& output, int frame,
                                       std::vector<controller::CheckedFile>& checked);

}  // namespace worker

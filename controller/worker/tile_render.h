// Rendering one frame as a grid of tiles and stitching them into the frame's images.
#pragma once

#include "controller/worker/frame_steps.h"
#include "controller/worker/options.h"
#include "controller/worker/output_names.h"

namespace worker {

/// Renders the frame tile by tile (RegionRendering and, for the main image, a tagged
/// OutputImageFilename per tile), stitches each written file's tiles under the frame's own name
/// and checks the results into `checked`. The output must be at least one pixel per tile.
Expected<void> renderTiles(FrameSteps& steps, const RenderOptions& options,
                           const OutputDescription& output, int frame,
                           std::vector<CheckedFile>& checked);

}  // namespace worker

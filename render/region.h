// Region rendering: the padded, clipped rectangle to render, and region images cut back to size.
#pragma once

#include "render/render_job.h"

#include <max.h>

#include <bmmlib.h>

namespace moonstone {

/// Stores the requested rectangle widened by padding and clipped to the render size, with the
/// clip of every side (0 for a side that is not clipped). The command set applies the steps one
/// argument at a time; the step functions below are that order.
void SetRegion(RenderJob& job, int padding, int left, int top, int right, int bottom);
/// The steps of SetRegion, for a command that converts each argument just before its step.
void setRegionPadding(RenderJob& job, int padding);
void setRegionLeft(RenderJob& job, int left);
void setRegionTop(RenderJob& job, int top);
void setRegionRight(RenderJob& job, int right);
void setRegionBottom(RenderJob& job, int bottom);
/// Gives an output description the size of the region to render. A region that is empty, or
/// too large for the description's 16-bit sizes, gives 0 (no bitmap can be made from it).
void sizeToRegion(const RenderJob& job, BitmapInfo& info);
/// Throws std::runtime_error when the padded, clipped rectangle is empty: the controller asked for
/// a rectangle with its sides crossed, or one that lies wholly outside the image.
void checkRegionHasPixels(const RenderJob& job);
/// Cuts the padding off the rendered region bitmap and writes the requested rectangle through
/// WriteOutputImage under bi's name and device. Throws std::runtime_error.
void WriteRegionImage(RenderJob& job, Bitmap* bm, BitmapInfo* bi);

}  // namespace moonstone

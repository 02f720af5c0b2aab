// Region rendering: the padded rectangle clipped to the render size, and region images cut from
// the rendered padded bitmap.
#include "render/region.h"

#include "render/bitmap_holder.h"
#include "render/output_writing.h"

#include <max.h>

#include <maxapi.h>

#include <climits>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

namespace moonstone {

namespace {

/// The controller's numbers may be anything an int holds; the sums are taken wide and kept
/// within an int.
int saturated(std::int64_t value) {
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

/// A near side (left, top): the padded edge, moved in to 0 when it lies before the image.
void clipNearSide(std::int64_t requested, int padding, LONG& edge, LONG& clip) {
  const std::int64_t padded = requested - padding;
  clip = padded < 0 ? saturated(-padded) : 0;
  edge = padded < 0 ? 0 : saturated(padded);
}

/// A far side (right, bottom): the padded edge, moved in to the image size when it lies past it.
void clipFarSide(std::int64_t requested, int padding, int size, LONG& edge, LONG& clip) {
  const std::int64_t padded = requested + padding;
  clip = padded > size ? saturated(padded - size) : 0;
  edge = padded > size ? size : saturated(padded);
}

/// A size the image description can hold; 0 (no bitmap can be made) for anything else.
WORD imageSize(std::int64_t size) {
  return size > 0 && size <= 0xFFFF ? static_cast<WORD>(size) : 0;
}

}  // namespace

void setRegionPadding(RenderJob& job, int padding) {
  job.regionRendering = true;
  job.regionPadding = padding;
}

void setRegionLeft(RenderJob& job, int left) {
  clipNearSide(left, job.regionPadding, job.regionRect.left, job.regionClip.left);
}

void setRegionTop(RenderJob& job, int top) {
  clipNearSide(top, job.regionPadding, job.regionRect.top, job.regionClip.top);
}

// The render size is read from the host itself: a region may be set before any job has taken
// the host's interfaces.
void setRegionRight(RenderJob& job, int right) {
  clipFarSide(right, job.regionPadding, GetCOREInterface()->GetRendWidth(), job.regionRect.right,
              job.regionClip.right);
}

void setRegionBottom(RenderJob& job, int bottom) {
  clipFarSide(bottom, job.regionPadding, GetCOREInterface()->GetRendHeight(), job.regionRect.bottom,
              job.regionClip.bottom);
}

void SetRegion(RenderJob& job, int padding, int left, int top, int right, int bottom) {
  setRegionPadding(job, padding);
  setRegionLeft(job, left);
  setRegionTop(job, top);
  setRegionRight(job, right);
  setRegionBottom(job, bottom);
}

// Taken wide: a region set outside the image may span more than an int holds, and a crossed one
// must not wrap into a huge size.
void sizeToRegion(const RenderJob& job, BitmapInfo& info) {
  const RECT& r = job.regionRect;
  info.SetWidth(imageSize(std::int64_t{r.right} - r.left));
  info.SetHeight(imageSize(std::int64_t{r.bottom} - r.top));
}

void checkRegionHasPixels(const RenderJob& job) {
  const RECT& r = job.regionRect;
  if (std::int64_t{r.right} - r.left > 0 && std::int64_t{r.bottom} - r.top > 0) return;
  throw std::runtime_error("The region to render holds no pixels: left " + std::to_string(r.left) +
                           ", top " + std::to_string(r.top) + ", right " + std::to_string(r.right) +
                           ", bottom " + std::to_string(r.bottom) +
                           " after padding and clipping to the render output");
}

void WriteRegionImage(RenderJob& job, Bitmap* bm, BitmapInfo* bi) {
  const bool hasPixels = bm && bm->Storage();
  const std::int64_t sourceWidth = hasPixels ? bm->Width() : 0;
  const std::int64_t sourceHeight = hasPixels ? bm->Height() : 0;
  const std::int64_t padding = job.regionPadding;
  const RECT& clip = job.regionClip;

  BitmapInfo region;
  region.Copy(bi);
  region.SetWidth(imageSize(sourceWidth - (padding - clip.left) - (padding - clip.right)));
  region.SetHeight(imageSize(sourceHeight - (padding - clip.top) - (padding - clip.bottom)));
  BitmapHolder destination(TheManager->Create(&region));
  if (!destination) {
    throw std::runtime_error("Failed to allocate region Bitmap: TheManager->Create() return NULL");
  }
  // The source's pixel (padding - clip.left, padding - clip.top) lands on the destination's
  // (0, 0); what the source does not cover stays transparent black.
  region.SetCustomFlag(BMM_CUSTOM_POS);
  region.SetCustomX(saturated(clip.left - padding));
  region.SetCustomY(saturated(clip.top - padding));
  destination->PrepareGChannels(&region);
  if (destination->Storage()) {
    destination->CopyImage(bm, COPY_IMAGE_USE_CUSTOM, BMM_Color_fl(0, 0, 0, 0), &region);
  }
  WriteOutputImage(job, destination.get(), &region);
}

}  // namespace moonstone

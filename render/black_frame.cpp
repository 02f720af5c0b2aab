// The black-frame test: the share of black pixels of a rendered frame against the job's limit.
#include "render/black_frame.h"

#include "log/log_stream.h"

#include <cstdint>
#include <stdexcept>
#include <vector>

namespace moonstone {

namespace {

/// 1 for a pixel dark in every colour component and either (nearly) transparent or (nearly)
/// opaque (alpha at least `opaque`, that is 1 - threshold), else 0; a NaN component makes a
/// comparison fail, so such a pixel is not black. Every comparison is made, without a branch, so
/// that the compiler counts several pixels of a row at once.
inline unsigned blackOf(const BMM_Color_fl& c, float threshold, float opaque) {
  return static_cast<unsigned>((c.r <= threshold) & (c.g <= threshold) & (c.b <= threshold) &
                               ((c.a <= threshold) | (c.a >= opaque)));
}

// Pixels counted per block: a block of a fixed length is a loop the compiler runs several
// pixels at a time (it leaves a loop of unknown length scalar at the usual optimisation level).
const int blockPixels = 16;

/// The black pixels among the first `width` of a row.
std::uint64_t blackInRow(const BMM_Color_fl* row, int width, float threshold, float opaque) {
  std::uint64_t count = 0;
  int x = 0;
  for (; x + blockPixels <= width; x += blockPixels) {
    unsigned black = 0;
    for (int i = 0; i < blockPixels; ++i) black += blackOf(row[x + i], threshold, opaque);
    count += black;
  }
  for (; x < width; ++x) count += blackOf(row[x], threshold, opaque);
  return count;
}

}  // namespace

void CheckBlackFrame(RenderJob& job, Bitmap* bm) {
  const int required = job.blackPixelPercentage;
  const float threshold = job.blackPixelThreshold;
  logStream << std::endl;
  logStream << "Checking if frame is black" << std::endl;
  logStream << "  blackPixelPercentage=" << required << "%" << std::endl;
  logStream << "  blackPixelThreshold=" << threshold << std::endl;

  const bool hasPixels = bm && bm->Storage();
  const int width = hasPixels ? bm->Width() : 0;
  const int height = hasPixels ? bm->Height() : 0;
  // 64 bits: count * 100 leaves 32 bits beyond about 21 million black pixels.
  std::uint64_t count = 0;
  // Whole rows in storage order: a pixel per call, column by column, spent most of the test
  // in calls and cache misses on a large frame. The count does not depend on the order.
  const float opaque = 1.0f - threshold;
  std::vector<BMM_Color_fl> row(static_cast<size_t>(width));
  for (int y = 0; y < height; ++y) {
    bm->GetPixels(0, y, width, row.data());
    count += blackInRow(row.data(), width, threshold, opaque);
  }
  const std::uint64_t total =
      static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height);
  // An image without pixels shows nothing: it counts as entirely black.
  const std::uint64_t percent = total == 0 ? 100 : count * 100 / total;
  logStream << count << " of " << total << " pixels are considered black (" << percent << "%)"
            << std::endl;
  if (static_cast<std::int64_t>(percent) < required) return;

  logStream << percent << "% of the output image is considered black, failing render..."
            << std::endl;
  throw std::runtime_error(std::to_string(percent) +
                           "% of the output image is black, which equals or exceeds the minimum "
                           "of " +
                           std::to_string(required) + "%");
}

}  // namespace moonstone

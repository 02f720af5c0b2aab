// Peak resident memory of maxsim for one 3840 x 2160 frame with four render elements and a
// four-pass multi-pass camera, against the bytes of the bitmaps that frame needs at once.
//
// Method: after StartJob the session's peak is reset (/proc/PID/clear_refs, "5") and its resident
// size taken as the baseline; after RenderTask the peak (VmHWM) is read while the session still
// runs. The frame's peak is the peak minus the baseline.
//
// Bitmaps needed at once: while the passes render, the frame holds its main bitmap, the pass
// bitmap, each element's bitmap and each element's accumulator: 2 + 2 x 4 = 10 bitmaps. Their
// format is BMM_TRUE_64 (the scene's renderer does not ask for floating-point output): 16 bits
// for each of red, green, blue and alpha, 8 bytes a pixel.
//
// Prints the measurements; exits 1 when the frame's peak exceeds maximumRatio times the bitmaps'
// bytes, 2 when the benchmark itself fails.
#include "common/process_status.h"
#include "session/maxsim_session.h"

#include <cstdio>
#include <fstream>
#include <stdexcept>

namespace {

const double maximumRatio = 1.25;
const long long width = 3840, height = 2160;
const long long bytesPerPixel = 8;
const long long elementCount = 4;
const long long bitmapsAtOnce = 2 + 2 * elementCount;
const std::string scene =
    std::string(MOONSTONE_SOURCE_DIR) + "/bench/peak_memory/uhd_elements_multipass.max";

void resetPeak(pid_t pid) {
  std::ofstream clearRefs("/proc/" + std::to_string(pid) + "/clear_refs");
  clearRefs << "5";
  clearRefs.flush();
  if (!clearRefs) throw std::runtime_error("cannot reset the peak resident size of maxsim");
}

double mebibytes(long long bytes) {
  return static_cast<double>(bytes) / (1024.0 * 1024.0);
}

}  // namespace

int main() {
  try {
    bench::BenchDrives drives;
    bench::MaxsimSession session(drives);
    session.startJob(scene, "Camera01");
    resetPeak(session.pid());
    const long long baseline = bench::processStatusBytes(session.pid(), "VmRSS");
    session.renderTask(1);
    const long long peak = bench::processStatusBytes(session.pid(), "VmHWM");
    session.endJob();
    session.finish();

    const long long framePeak = peak - baseline;
    const long long needed = bitmapsAtOnce * width * height * bytesPerPixel;
    const double ratio = static_cast<double>(framePeak) / static_cast<double>(needed);
    std::printf("resident before the frame: %.1f MiB\n", mebibytes(baseline));
    std::printf("peak resident during the frame: %.1f MiB\n", mebibytes(peak));
    std::printf("frame's peak above the baseline: %.1f MiB (%lld bytes)\n", mebibytes(framePeak),
                framePeak);
    std::printf("bitmaps needed at once: %lld x %lld x %lld x %lld bytes = %.1f MiB\n",
                bitmapsAtOnce, width, height, bytesPerPixel, mebibytes(needed));
    std::printf("ratio: %.3f (target at most %.2f): %s\n", ratio, maximumRatio,
                ratio <= maximumRatio ? "met" : "MISSED");
    return ratio <= maximumRatio ? 0 : 1;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "bench_peak_memory: %s\n", error.what());
    return 2;
  }
}

// A job of small frames through one resident session against one maxsim start per frame.
//
// Usage: bench_session_frames [frames] [rounds] [scene]; the scene (default: tiny_frames.max beside
// this file, a 32 x 24 frame written as one Targa file) must have a camera named Camera01. Each
// round times the whole job both ways (each way from the first maxsim start to the last maxsim
// exit) and the medians are compared. Every frame is really rendered and written. Prints the
// measurements and exits 1 when the resident session is less than minimumSpeedUp times faster, 2
// when the benchmark itself fails.
#include "maxsim_session.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

const double minimumSpeedUp = 5.0;
const std::string smallFrames =
    std::string(MOONSTONE_SOURCE_DIR) + "/bench/session/tiny_frames.max";

double secondsOf(const std::function<void()>& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t middle = values.size() / 2;
  return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

void renderFrames(bench::MaxsimSession& session, const std::string& scene, int first, int last) {
  session.startJob(scene, "Camera01");
  for (int frame = first; frame <= last; ++frame) session.renderTask(frame);
  session.endJob();
  session.finish();
}

}  // namespace

int main(int argc, char** argv) {
  const int frames = argc > 1 ? std::atoi(argv[1]) : 50;
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 3;
  const std::string scene = argc > 3 ? argv[3] : smallFrames;
  if (frames < 1 || rounds < 1) {
    std::fprintf(stderr, "usage: %s [frames >= 1] [rounds >= 1] [scene]\n", argv[0]);
    return 2;
  }
  try {
    bench::BenchDrives drives;
    std::vector<double> resident, perFrame;
    for (int round = 0; round < rounds; ++round) {
      resident.push_back(secondsOf([&] {
        bench::MaxsimSession session(drives);
        renderFrames(session, scene, 1, frames);
      }));
      perFrame.push_back(secondsOf([&] {
        for (int frame = 1; frame <= frames; ++frame) {
          bench::MaxsimSession session(drives);
          renderFrames(session, scene, frame, frame);
        }
      }));
      std::printf("round %d: one session %.3f s, one maxsim per frame %.3f s\n", round + 1,
                  resident.back(), perFrame.back());
    }
    const double residentSeconds = median(resident);
    const double perFrameSeconds = median(perFrame);
    const double speedUp = perFrameSeconds / residentSeconds;
    std::printf("scene: %s; frames: %d, rounds: %d (medians below)\n", scene.c_str(), frames,
                rounds);
    std::printf("one session: %.3f s (%.2f ms per frame)\n", residentSeconds,
                1000 * residentSeconds / frames);
    std::printf("one maxsim start per frame: %.3f s (%.2f ms per frame)\n", perFrameSeconds,
                1000 * perFrameSeconds / frames);
    std::printf("speed-up: %.2f (target at least %.1f): %s\n", speedUp, minimumSpeedUp,
                speedUp >= minimumSpeedUp ? "met" : "MISSED");
    return speedUp >= minimumSpeedUp ? 0 : 1;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "bench_session_frames: %s\n", error.what());
    return 2;
  }
}

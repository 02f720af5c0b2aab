// Cost of the black-frame test on a 3840 x 2160 frame, against its floor: one plain pass that
// sums the same pixels laid out as the bitmap holds them.
#include "render/black_frame.h"
#include "render/render_job.h"

#include <benchmark/benchmark.h>
#include <max.h>

#include <bmmlib.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <vector>

namespace {

using namespace moonstone;

const int frameWidth = 3840;
const int frameHeight = 2160;

struct DeleteBitmap {
  void operator()(Bitmap* bitmap) const { bitmap->DeleteThis(); }
};

// What a rendered frame looks like to the test: a dark background (black under the default
// threshold) with a bright disc and a lit band, so that both outcomes of the pixel rule occur in
// long runs as they do in real images.
BMM_Color_fl renderedPixel(int x, int y) {
  const float dx = static_cast<float>(x - frameWidth / 2);
  const float dy = static_cast<float>(y - frameHeight / 2);
  if (dx * dx + dy * dy < 600.0f * 600.0f) return BMM_Color_fl(0.9f, 0.3f, 0.1f, 1.0f);
  if (y > frameHeight * 3 / 4) return BMM_Color_fl(0.2f, 0.5f, 0.2f, 1.0f);
  return BMM_Color_fl(0.02f, 0.03f, 0.05f, 1.0f);
}

// The frame, its pixels copied out once for the floor, and a job that lets the frame pass (so
// every pixel is looked at and nothing is thrown).
class Frame {
 public:
  Frame() {
    BitmapInfo info;
    info.SetWidth(frameWidth);
    info.SetHeight(frameHeight);
    info.SetType(BMM_FLOAT_RGBA_32);
    bitmap_.reset(TheManager->Create(&info));
    if (!bitmap_) throw std::runtime_error("cannot create the frame bitmap");
    std::vector<BMM_Color_fl> row(frameWidth);
    pixels_.resize(static_cast<size_t>(frameWidth) * frameHeight);
    for (int y = 0; y < frameHeight; ++y) {
      for (int x = 0; x < frameWidth; ++x) row[x] = renderedPixel(x, y);
      bitmap_->PutPixels(0, y, frameWidth, row.data());
      std::copy(row.begin(), row.end(), pixels_.begin() + static_cast<size_t>(y) * frameWidth);
    }
    job_.blackPixelPercentage = 100;
    job_.blackPixelThreshold = 0.1f;
  }

  RenderJob& job() { return job_; }
  Bitmap* bitmap() { return bitmap_.get(); }
  const std::vector<BMM_Color_fl>& pixels() const { return pixels_; }

 private:
  RenderJob job_;
  std::unique_ptr<Bitmap, DeleteBitmap> bitmap_;
  std::vector<BMM_Color_fl> pixels_;
};

Frame& frame() {
  static Frame instance;
  return instance;
}

void BM_SumPixels(benchmark::State& state) {
  const std::vector<BMM_Color_fl>& pixels = frame().pixels();
  for (auto _ : state) {
    float sum = 0.0f;
    for (const BMM_Color_fl& p : pixels) sum += p.r + p.g + p.b + p.a;
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(pixels.size()));
}
BENCHMARK(BM_SumPixels)->Unit(benchmark::kMillisecond);

void BM_CheckBlackFrame(benchmark::State& state) {
  Frame& f = frame();
  for (auto _ : state) CheckBlackFrame(f.job(), f.bitmap());
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(f.pixels().size()));
}
BENCHMARK(BM_CheckBlackFrame)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  // The job's log goes to drive C: keep it in a folder of this run, not in the user's home.
  const std::filesystem::path driveC =
      std::filesystem::temp_directory_path() / ("bench_black_frame_" + std::to_string(getpid()));
  std::filesystem::create_directories(driveC);
  setenv("MAXSIM_DRIVE_C", driveC.c_str(), 1);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::filesystem::remove_all(driveC);
  return 0;
}

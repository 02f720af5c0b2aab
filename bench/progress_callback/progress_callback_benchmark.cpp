// Cost of the progress callback when the throttle says no request is due, against its floor:
// the one tick-count read that the throttle needs.
#include "render/render_progress_callback.h"

#include <benchmark/benchmark.h>
#include <windows.h>

namespace {

using namespace moonstone;

// The floor: the throttle cannot decide without reading the clock once.
void BM_TickCountRead(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(GetTickCount());
}
BENCHMARK(BM_TickCountRead);

// A renderer calling Progress between requests. The socket is not connected: the one call per
// 100 ms that is due fails at its first send (logged, the render goes on), so no call ever
// waits for an answer and the timings are those of the throttled path.
void BM_ProgressNotDue(benchmark::State& state) {
  tangram::win32::simple_socket unconnected;
  MoonstoneRenderCallback callback(unconnected, "", 0.0f, 1.0f);
  callback.SetTitle("Rendering Image");
  MoonstoneRenderCallback::resetThrottle();
  // The first call with a total is always due; after it the throttle holds for 100 ms.
  callback.Progress(0, 1000);
  int done = 1;
  for (auto _ : state) {
    benchmark::DoNotOptimize(callback.Progress(done, 1000));
    done = done % 999 + 1;
  }
}
BENCHMARK(BM_ProgressNotDue);

}  // namespace

BENCHMARK_MAIN();

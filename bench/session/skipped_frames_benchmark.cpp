// Skipped frames through a whole session against a raw packet ping-pong of the same packets.
//
// A skipped frame is one exchange: the controller sends "RenderTask,N" and the plug-in answers
// "STARTED" and "SUCCESS". The ping-pong plays exactly that exchange (same line, same two
// replies, the project's packet socket on both ends, connected the same way) with a peer that
// does nothing else, so its rate is the floor the session's rate is compared against.
#include "maxsim_session.h"

#include "tangram/win32/simple_socket.h"

#include <benchmark/benchmark.h>

#include <fstream>
#include <memory>
#include <thread>

namespace {

namespace fs = std::filesystem;
using tangram::win32::simple_socket;

// Frames cycle through 1..frameCount, so request lines have the lengths a real job sends.
const int frameCount = 1000;
const int waitMs = 60000;

// A session whose job's output files all exist, so every RenderTask skips its frame.
struct SkippingSession {
  SkippingSession() {
    const fs::path folder = drives.driveR() / "skipped";
    fs::create_directories(folder);
    for (int frame = 1; frame <= frameCount; ++frame) {
      char name[32];
      std::snprintf(name, sizeof name, "frame%04d.tga", frame);
      std::ofstream(folder / name) << "rendered before";
    }
    session.startJob(std::string(MOONSTONE_SOURCE_DIR) + "/bench/session/skipped_frames.max",
                     "Camera01");
  }
  bench::BenchDrives drives;
  bench::MaxsimSession session{drives};
};

void SkippedFrameThroughSession(benchmark::State& state) {
  static std::unique_ptr<SkippingSession> fixture;
  try {
    if (!fixture) fixture = std::make_unique<SkippingSession>();
    int frame = 0;
    for (auto _ : state) {
      frame = frame % frameCount + 1;
      // Anything but the two replies (progress requests, an error) means the frame rendered.
      if (fixture->session.renderTask(frame).size() != 2) {
        state.SkipWithError("a frame was rendered instead of skipped");
        break;
      }
    }
  } catch (const std::exception& error) {
    state.SkipWithError(error.what());
  }
  state.SetItemsProcessed(state.iterations());
}

// The plug-in's side of the ping-pong: connects as the plug-in does, answers every line with
// the two replies of a skipped frame, and polls with the command loop's timeout.
// A failure ends the peer, which the controller then sees as a hang-up.
void answerLikeASkippedFrame(int port) {
  try {
    simple_socket socket("127.0.0.1", port);
    while (socket.is_connected()) {
      try {
        socket.receive(200);
      } catch (const tangram::win32::simple_socket_timeout_error&) {
        continue;
      }
      socket.send("STARTED");
      socket.send("SUCCESS");
    }
  } catch (const tangram::win32::simple_socket_error&) {
  }
}

void PacketPingPong(benchmark::State& state) {
  controller::ControllerLink link;
  std::thread peer(answerLikeASkippedFrame, link.port());
  try {
    link.accept(waitMs);
    int frame = 0;
    for (auto _ : state) {
      frame = frame % frameCount + 1;
      if (link.command(bench::renderTaskLine(frame), waitMs).size() != 2) {
        state.SkipWithError("the peer answered something else");
        break;
      }
    }
  } catch (const std::exception& error) {
    state.SkipWithError(error.what());
  }
  link.hangUp();
  peer.join();
  state.SetItemsProcessed(state.iterations());
}

BENCHMARK(SkippedFrameThroughSession)->UseRealTime();
BENCHMARK(PacketPingPong)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();

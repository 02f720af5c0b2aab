// The soak driver: one maxsim session rendering thousands of frames, watched for growth of its
// resident memory and open descriptors.
#include "session/maxsim_session.h"
#include "soak/process_sample.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

/// Growth allowed after the first sample: 2 MiB of resident memory, no descriptor.
const soak::GrowthLimits allowedGrowth{2048, 0};

struct Settings {
  int frames = 2000;
  int every = 100;
  std::string scene = std::string(MOONSTONE_SOURCE_DIR) + "/examples/scenes/animated.max";
  std::string binDir = MOONSTONE_BIN_DIR;
};

const char* const usage =
    "usage: bench_soak [--frames N] [--every K] [--scene FILE] [--bin DIR]\n"
    "Renders N frames (default 2000) of the scene (default examples/scenes/animated.max) in one\n"
    "maxsim session and samples maxsim's resident memory and open descriptors every K frames\n"
    "(default 100). Fails when, after the first sample, resident memory grows by more than\n"
    "2 MiB or the descriptors by any. DIR holds maxsim and plugins/ (default: this build's).\n";

Settings parseSettings(int argc, char** argv) {
  Settings settings;
  for (int i = 1; i < argc; ++i) {
    const std::string option = argv[i];
    if (i + 1 >= argc) throw std::invalid_argument(usage);
    const std::string value = argv[++i];
    if (option == "--frames") {
      settings.frames = std::stoi(value);
    } else if (option == "--every") {
      settings.every = std::stoi(value);
    } else if (option == "--scene") {
      settings.scene = fs::absolute(value).string();
    } else if (option == "--bin") {
      settings.binDir = fs::absolute(value).string();
    } else {
      throw std::invalid_argument(usage);
    }
  }
  if (settings.every < 1 || settings.frames < 2 * settings.every) {
    throw std::invalid_argument("need at least two samples: --frames >= 2 x --every\n" +
                                std::string(usage));
  }
  return settings;
}

/// Removes the image files that the frames wrote (the plug-in's log, on drive C, stays), so that
/// the disk does not fill over a long run; how many there were.
long clearOutputs(const fs::path& driveR) {
  long removed = 0;
  for (const auto& entry : fs::recursive_directory_iterator(driveR)) {
    if (entry.is_regular_file()) {
      fs::remove(entry.path());
      ++removed;
    }
  }
  return removed;
}

int runSoak(const Settings& settings) {
  const bench::BenchDrives drives;
  bench::MaxsimSession session(drives, settings.binDir);
  std::cout << "maxsim " << session.pid() << " connected" << std::endl;

  const auto started = std::chrono::steady_clock::now();
  session.startJob(settings.scene, "");
  std::vector<soak::Sample> samples;
  long images = 0;
  long requests = 0;
  for (int frame = 1; frame <= settings.frames; ++frame) {
    const controller::Transcript transcript = session.renderTask(frame);
    requests += std::count_if(transcript.begin(), transcript.end(), controller::isRequest);
    if (frame % settings.every != 0) continue;
    images += clearOutputs(drives.driveR());
    samples.push_back(soak::sampleProcess(session.pid(), frame));
    std::cout << "frames " << frame << ": resident " << samples.back().rssKiB << " KiB, "
              << samples.back().fds << " open descriptors" << std::endl;
  }
  session.endJob();
  const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - started;
  std::cout << settings.frames << " frames and the job's start and end in " << elapsed.count()
            << " s; " << images << " image files written, " << requests << " requests answered"
            << std::endl;
  session.finish();

  const soak::Sample& first = samples.front();
  const soak::Sample& last = samples.back();
  std::cout << "growth after frame " << first.frames << ": resident " << last.rssKiB - first.rssKiB
            << " KiB, descriptors " << last.fds - first.fds << std::endl;
  const std::string failure = soak::growthFailure(samples, allowedGrowth);
  if (!failure.empty()) {
    std::cout << "FAILED: " << failure;
    return 1;
  }
  std::cout << "passed: " << settings.frames << " frames in one session, no growth" << std::endl;
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return runSoak(parseSettings(argc, argv));
  } catch (const std::invalid_argument& error) {
    std::cerr << error.what();
    return 2;
  } catch (const std::exception& error) {
    std::cout << "FAILED: " << error.what() << std::endl;
    return 1;
  }
}

// The soak driver: one maxsim session rendering thousands of frames, watched for growth of its
// resident memory and open descriptors.
#include "controller/controller_link.h"
#include "controller/worker/command_line.h"
#include "controller/worker/command_replies.h"
#include "controller/worker/maxsim_process.h"
#include "controller/worker/startup_script.h"
#include "controller/worker/worker_environment.h"
#include "soak/process_sample.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const int commandTimeoutMs = 60000;
const int connectTimeoutMs = 60000;
const int exitTimeoutMs = 10000;
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

/// A folder of this run, removed with everything in it when the run ends.
class RunFolder {
 public:
  RunFolder() {
    std::string pattern = (fs::temp_directory_path() / "moonstone-soak-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot make a temporary folder");
    path_ = pattern;
  }
  ~RunFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  RunFolder(const RunFolder&) = delete;
  RunFolder& operator=(const RunFolder&) = delete;
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

/// Requests of the plug-in answered during the run (progress and titles among them).
long requestsSeen = 0;

/// Sends a command and reads to its last reply (requests answered on the way); the replies.
std::vector<std::string> runCommand(controller::ControllerLink& link, const std::string& line) {
  worker::CommandReplies replies(line);
  std::vector<std::string> received;
  for (const std::string& packet : link.command(
           line, [&](const std::string& reply) { return replies.isFinal(reply); },
           commandTimeoutMs)) {
    if (controller::isRequest(packet)) {
      ++requestsSeen;
    } else {
      received.push_back(packet);
    }
  }
  return received;
}

/// Throws when a reply of the command is an error or its last one is not a success.
void expectSuccess(controller::ControllerLink& link, const std::string& line) {
  const std::vector<std::string> replies = runCommand(link, line);
  if (replies.empty() || std::any_of(replies.begin(), replies.end(), worker::isErrorReply) ||
      replies.back().rfind("SUCCESS", 0) != 0) {
    std::string text = line + " failed:";
    for (const std::string& reply : replies) text += "\n  " + reply;
    throw std::runtime_error(text);
  }
}

/// Removes the files that the frames wrote into the drive folders (the plug-in's log stays), so
/// that the disk does not fill over a long run; how many there were.
long clearOutputs(const worker::WorkerEnvironment& environment, const fs::path& driveFolder) {
  long removed = 0;
  for (const auto& entry : fs::recursive_directory_iterator(driveFolder)) {
    if (entry.is_regular_file() && !fs::equivalent(entry.path(), environment.pluginLog)) {
      fs::remove(entry.path());
      ++removed;
    }
  }
  return removed;
}

int runSoak(const Settings& settings) {
  RunFolder run;
  worker::LaunchOptions options;
  options.workDir = run.path().string();
  options.maxsim = settings.binDir + "/maxsim";
  options.pluginDir = settings.binDir + "/plugins";
  // Every drive in one folder of the run, so that the frames' files are found and removed.
  const fs::path drives = run.path() / "drives";
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    options.drives[letter] =
        (drives / std::string(1, static_cast<char>(letter - 'A' + 'a'))).string();
  }
  const worker::WorkerEnvironment environment = worker::prepareEnvironment(options);

  controller::ControllerLink link;
  const std::string token = worker::makeToken();
  worker::MaxsimProcess maxsim(
      environment.maxsim,
      {"-p", options.pluginDir, "-q", "-mxs", worker::startupScript(link.port(), token)},
      environment.maxsimOutput);
  link.accept(connectTimeoutMs);
  const auto [received, version] = link.handshake(commandTimeoutMs);
  if (received != token) throw std::runtime_error("the plug-in sent a wrong token");
  std::cout << "maxsim " << maxsim.pid() << " connected: " << version << std::endl;

  const auto started = std::chrono::steady_clock::now();
  expectSuccess(link, worker::commandLine({"StartJob", settings.scene, ""}));
  std::vector<soak::Sample> samples;
  long images = 0;
  for (int frame = 1; frame <= settings.frames; ++frame) {
    expectSuccess(link, worker::commandLine({"RenderTask", std::to_string(frame)}));
    if (frame % settings.every != 0) continue;
    images += clearOutputs(environment, drives);
    samples.push_back(soak::sampleProcess(maxsim.pid(), frame));
    std::cout << "frames " << frame << ": resident " << samples.back().rssKiB << " KiB, "
              << samples.back().fds << " open descriptors" << std::endl;
  }
  expectSuccess(link, "EndJob");
  const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - started;
  std::cout << settings.frames << " frames and the job's start and end in " << elapsed.count()
            << " s; " << images << " image files written, " << requestsSeen << " requests answered"
            << std::endl;
  link.hangUp();
  const std::optional<int> status = maxsim.waitFor(exitTimeoutMs);
  if (!status) throw std::runtime_error("maxsim did not exit after the session ended");
  if (*status != 0) {
    throw std::runtime_error("maxsim exited with status " + std::to_string(*status));
  }

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

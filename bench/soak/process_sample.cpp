// Reading a process's resident memory and descriptors from /proc, and judging their growth.
#include "soak/process_sample.h"

#include "common/process_status.h"

#include <filesystem>
#include <iterator>
#include <sstream>
#include <stdexcept>

namespace soak {

namespace {

long openDescriptors(const std::string& procFolder) {
  std::error_code error;
  std::filesystem::directory_iterator entries(procFolder + "/fd", error);
  if (error) throw std::runtime_error("cannot list " + procFolder + "/fd: " + error.message());
  return static_cast<long>(std::distance(entries, std::filesystem::directory_iterator()));
}

}  // namespace

Sample sampleProcess(pid_t pid, int frames) {
  const std::string procFolder = "/proc/" + std::to_string(pid);
  const long residentKiB = static_cast<long>(bench::processStatusBytes(pid, "VmRSS") / 1024);
  return Sample{frames, residentKiB, openDescriptors(procFolder)};
}

std::string growthFailure(const std::vector<Sample>& samples, const GrowthLimits& limits) {
  if (samples.empty()) throw std::invalid_argument("no samples to judge");
  const Sample& first = samples.front();
  std::ostringstream failure;
  for (const Sample& sample : samples) {
    if (sample.rssKiB - first.rssKiB > limits.rssKiB) {
      failure << "resident memory grew by " << sample.rssKiB - first.rssKiB << " KiB between frame "
              << first.frames << " and frame " << sample.frames << " (allowed: " << limits.rssKiB
              << " KiB)\n";
      break;
    }
  }
  for (const Sample& sample : samples) {
    if (sample.fds - first.fds > limits.fds) {
      failure << "open descriptors grew from " << first.fds << " to " << sample.fds
              << " between frame " << first.frames << " and frame " << sample.frames
              << " (allowed: " << limits.fds << " more)\n";
      break;
    }
  }
  return failure.str();
}

}  // namespace soak

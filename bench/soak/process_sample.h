// Samples of a process's resident memory and open descriptors, and the judgement of their growth.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace soak {

/// One look at a process after some frames: resident memory (KiB) and open descriptors.
struct Sample {
  int frames;
  long rssKiB;
  long fds;
};

/// Reads the process's resident memory (VmRSS of /proc/PID/status) and counts the entries of
/// /proc/PID/fd. Throws std::runtime_error when the process cannot be read (it has ended).
Sample sampleProcess(pid_t pid, int frames);

/// How much growth is tolerated against the first sample.
struct GrowthLimits {
  long rssKiB;
  long fds;
};

/// Empty when no sample exceeds the first by more than the limits; otherwise one line per
/// exceeded limit, naming the first sample that exceeded it. Throws std::invalid_argument for
/// no samples.
std::string growthFailure(const std::vector<Sample>& samples, const GrowthLimits& limits);

}  // namespace soak

// `foxglove-worker --version`: the worker's version and the version line of the plug-in it runs.
#pragma once

#include "controller/worker/run/options.h"
#include "controller/worker/session/watchdog.h"

#include <ostream>

namespace worker {

/// The worker's own version line.
std::string workerVersion();

/// Prints the worker's version line, then starts maxsim as render would (in a temporary work
/// folder) and prints the plug-in's version line from the handshake. Returns 0, or 4 (the
/// node's exit status) when the plug-in could not be reached; the line then says why.
int printVersions(const LaunchOptions& options, std::ostream& out, const Clock& clock);

}  // namespace worker

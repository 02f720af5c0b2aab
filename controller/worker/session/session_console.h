// `foxglove-worker session`: a line-level console to the plug-in for debugging a scene by hand.
#pragma once

#include "controller/worker/run/options.h"
#include "controller/worker/session/watchdog.h"

#include <istream>
#include <ostream>

namespace worker {

/// Starts maxsim, then sends each non-empty input line as one command and prints every packet
/// (">> " sent, "<< " received) until the input ends; then hangs up and waits for maxsim.
/// Returns 0 when the session lasted to the end of the input, 1 otherwise. Borrows everything.
int runConsole(const SessionOptions& options, std::istream& in, std::ostream& out,
               const Clock& clock);

}  // namespace worker

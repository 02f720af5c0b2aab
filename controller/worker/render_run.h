// `foxglove-worker render`: one job through the plug-in, frame by frame, with checked files.
#pragma once

#include "controller/worker/options.h"
#include "controller/worker/progress_display.h"
#include "controller/worker/watchdog.h"

#include <ostream>

namespace worker {

/// Renders the options' frames and prints the steps on the display and the summary on out.
/// When maxsim dies or stalls, the frame fails and a fresh maxsim takes the remaining frames.
/// Returns the exit status: 0 when every frame succeeded, 1 otherwise. The clock is borrowed.
int runRender(const RenderOptions& options, ProgressDisplay& display, std::ostream& out,
              const Clock& clock);

}  // namespace worker

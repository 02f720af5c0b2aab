// `foxglove-worker render`: one job through the plug-in, frame by frame, with checked files.
#pragma once

#include "controller/worker/run/options.h"
#include "controller/worker/display/progress_display.h"
#include "controller/worker/session/watchdog.h"

#include <ostream>

namespace worker {

/// Renders the options' frames and prints the steps on the display and the summary on out (and
/// into the --summary-json file). When maxsim dies or stalls, the frame fails and a fresh maxsim
/// takes the remaining frames; a stop signal ends the frame in progress and maxsim. Each
/// session's maxsim output and plug-in log are kept under WORK/logs. Returns the exit status
/// (exit_status.h). The clock is borrowed.
int runRender(const RenderOptions& options, ProgressDisplay& display, std::ostream& out,
              const Clock& clock);

}  // namespace worker

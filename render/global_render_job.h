// The plug-in's one job state, a global object built at library load.
#pragma once

#include "render/render_job.h"

namespace moonstone {

/// The job state of the process (constructed after the log stream, whose file it opens).
extern RenderJob renderJob;

}  // namespace moonstone

// The controller's commands: each received line is served here, which sends every reply itself.
#pragma once

#include "render/render_job.h"
#include "tangram/win32/simple_socket.h"

#include <string>

namespace moonstone {

/// Serves one command line on the job state, sending its replies on socket. Lets through what it
/// does not answer itself: an invalid escape in the line, a failing send, errors raised by a
/// script file or script text, and standard errors outside the three job operations.
void dispatchCommand(RenderJob& job, const std::string& line,
                     tangram::win32::simple_socket& socket);

}  // namespace moonstone

// The plug-in's process-wide objects, in one translation unit so that they are built in this
// order at library load and torn down in reverse at unload: the version text, the log stream,
// the job state (which opens the log), the controller socket, and the script interface (which
// uses the job state and the socket, and registers FoxgloveUtil with the host).
#include "log/log_stream.h"
#include "plugin/moonstone_interface.h"
#include "plugin/version.h"
#include "render/global_render_job.h"
#include "session/global_socket.h"

namespace moonstone {

const std::string versionText = "2.7.29981";

std::ofstream logStream;

RenderJob renderJob;

tangram::win32::simple_socket globalSocket;

MoonstoneInterface moonstoneInterface;

}  // namespace moonstone

// The one packet socket that carries the whole conversation with the controller.
#pragma once

#include "tangram/win32/simple_socket.h"

namespace moonstone {

/// Constructed unconnected at library load; the session connects it.
extern tangram::win32::simple_socket globalSocket;

}  // namespace moonstone

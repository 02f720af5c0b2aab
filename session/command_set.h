// The controller's commands: each received line is handed here, which sends every reply itself.
#pragma once

#include "tangram/win32/simple_socket.h"

#include <string>

/// Serves one command line. Errors that the command does not answer itself propagate to the
/// session (an invalid escape in the line among them).
void dispatchCommand(const std::string& line, tangram::win32::simple_socket& socket);

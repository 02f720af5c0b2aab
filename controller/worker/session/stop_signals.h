// The signals that stop a render (SIGTERM, SIGINT, SIGHUP), seen as a flag the worker polls.
#pragma once

#include <string>

namespace worker {

/// Takes the stop signals away from their default action: from now on they only raise the
/// flag that stopRequested() reads, and interrupt no system call. Call once, before any other
/// thread starts; children started afterwards get the default actions back.
void catchStopSignals();

/// True once a stop signal came.
bool stopRequested();

/// The stop signal's name ("SIGTERM"), empty while none came.
std::string stopSignalName();

}  // namespace worker

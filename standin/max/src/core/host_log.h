// The host's one log object.
#pragma once

#include "max.h"

#include "log.h"

namespace standin {
/// The log that Interface::Log() returns.
LogSys* hostLog();
/// Writes one entry of a fixed title and text to the log.
void logLine(LogSys* log, DWORD type, const char* title, const char* text);
}  // namespace standin

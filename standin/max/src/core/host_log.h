// The host's one log object.
#pragma once

#include "max.h"

#include "log.h"

namespace standin {
/// The log that Interface::Log() returns.
LogSys* hostLog();
}  // namespace standin

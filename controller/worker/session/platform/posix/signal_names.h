// Signal numbers in words, for saying how maxsim ended.
#pragma once

#include <string>

namespace worker {

/// "SIGFPE (floating-point exception)"; "signal 42" for one without a name here.
std::string describeSignal(int signal);

}  // namespace worker

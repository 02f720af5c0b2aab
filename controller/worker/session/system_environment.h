// The process's own place and its environment variables, which the maxsim it starts inherits.
#pragma once

#include <string>

namespace worker {

/// The folder of the running executable.
std::string ownExecutableFolder();

/// Sets an environment variable of this process (and so of the children it starts later).
void setEnvironmentVariable(const std::string& name, const std::string& value);

}  // namespace worker

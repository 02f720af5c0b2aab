// The process's own place and its environment variables, which the maxsim it starts inherits.
#pragma once

#include <string>

namespace worker {

/// The folder of the running executable.
std::string ownExecutableFolder();

/// The file-name suffix of programs on this system: "" on POSIX, ".exe" on Windows.
std::string executableSuffix();

/// Keeps a write to a closed pipe (a farm manager that stopped reading) from ending the worker
/// before it ends maxsim; the write fails instead.
void ignoreClosedPipes();

/// Sets an environment variable of this process (and so of the children it starts later).
void setEnvironmentVariable(const std::string& name, const std::string& value);

}  // namespace worker

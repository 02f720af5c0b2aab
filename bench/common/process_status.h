// A field of a running process's /proc/<pid>/status, for the benchmarks and the soak driver.
#pragma once

#include <sys/types.h>

#include <string>

namespace bench {

/// A memory field of /proc/<pid>/status (VmRSS, VmHWM...) in bytes. Throws std::runtime_error
/// when the process or the field cannot be read (the process has ended).
long long processStatusBytes(pid_t pid, const std::string& field);

}  // namespace bench

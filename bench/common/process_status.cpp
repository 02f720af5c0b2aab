// Reading a memory field of /proc/<pid>/status.
#include "common/process_status.h"

#include <fstream>
#include <stdexcept>

namespace bench {

long long processStatusBytes(pid_t pid, const std::string& field) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string name;
  while (status >> name) {
    if (name == field + ":") {
      long long kibibytes = 0;
      status >> kibibytes;
      return kibibytes * 1024;
    }
    status.ignore(1 << 20, '\n');
  }
  throw std::runtime_error("no " + field + " for process " + std::to_string(pid));
}

}  // namespace bench

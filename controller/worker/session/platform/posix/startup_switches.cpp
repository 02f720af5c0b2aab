// maxsim's start-up switches on POSIX: the script given as text, so no file is written.
#include "controller/worker/session/startup_script.h"

namespace worker {

std::vector<std::string> startupSwitches(const std::string& script, const std::string&) {
  return {"-q", "-mxs", script};
}

}  // namespace worker

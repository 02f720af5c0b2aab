// A declined fault on POSIX: the signal kills maxsim.
#include "e2e/worker/declined_fault.h"

#include <cstdlib>

void letDeclinedFaultsEndMaxsim() {
  if (const char* asan = std::getenv("ASAN_OPTIONS")) {
    setenv("ASAN_OPTIONS", (std::string(asan) + ":handle_sigfpe=0").c_str(), 1);
  }
}

std::string declinedUnderflowEnd() {
  return "was killed by SIGFPE (floating-point exception)";
}

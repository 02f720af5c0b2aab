// A declined fault on POSIX: the signal kills maxsim.
#include "e2e/worker/declined_fault.h"

std::string declinedUnderflowEnd() {
  return "was killed by SIGFPE (floating-point exception)";
}

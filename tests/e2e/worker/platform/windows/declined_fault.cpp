// A declined fault on Windows: maxsim ends with the exception's code as its exit code.
#include "e2e/worker/declined_fault.h"

std::string declinedUnderflowEnd() {
  return "crashed with Float Underflow (exception C0000093)";
}

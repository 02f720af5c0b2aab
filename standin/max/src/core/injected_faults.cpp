// Real processor faults: a null-pointer write and an integer division by zero, kept out of the
// optimiser's and the sanitizers' reach so that the processor itself raises them.
#include "core/injected_faults.h"

namespace standin {

__attribute__((noinline, no_sanitize("address", "undefined"))) void raiseAccessViolation() {
  volatile int* volatile target = nullptr;
  *target = 1;
}

__attribute__((noinline, no_sanitize("address", "undefined"))) void raiseIntegerDivideByZero() {
  volatile int zero = 0;
  volatile int numerator = 1;
  volatile int quotient = numerator / zero;
  (void)quotient;
}

}  // namespace standin

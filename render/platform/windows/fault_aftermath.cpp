// The floating-point and stack state that a trapped fault leaves behind, put back in order.
#include "render/platform/windows/fault_aftermath.h"

#include <malloc.h>

namespace moonstone {

FloatControl saveFloatControl() {
  FloatControl saved;
  asm volatile("fnstcw %0\n\tstmxcsr %1" : "=m"(saved.x87), "=m"(saved.mxcsr));
  return saved;
}

// A trapped floating-point fault leaves the unit as the fault found it: its trap unmasked, its
// flags raised, for an x87 stack fault the register stack full. The POSIX guard's jump out of the
// signal handler puts all that back; here it is done by hand, or the next healthy frame would
// fault as well. The flags of the saved register are cleared, so no stale flag is restored.
static void restoreFloatControl(const FloatControl& saved) {
  const unsigned mxcsr = saved.mxcsr & ~0x3Fu;
  asm volatile("fninit\n\tfldcw %0\n\tldmxcsr %1" : : "m"(saved.x87), "m"(mxcsr) : "memory");
}

void reserveStackForOverflowHandling() {
  ULONG guarantee = 64 * 1024;
  SetThreadStackGuarantee(&guarantee);
}

// The guard page that raised a stack overflow is used up by it; without a new one the next
// overflow on this thread would end the process without any exception.
void afterFault(DWORD code, const FloatControl& saved) {
  restoreFloatControl(saved);
  if (code == EXCEPTION_STACK_OVERFLOW) _resetstkoflw();
}

}  // namespace moonstone

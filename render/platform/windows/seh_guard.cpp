// The guard on Windows: __try/__except with the fault filter. No object with a destructor may
// live in runGuarded's frame.
#include "render/seh_guard.h"

#include <malloc.h>

namespace {

// The floating-point control state of the thread: the x87 control word and the SSE control and
// status register.
struct FloatControl {
  unsigned short x87;
  unsigned mxcsr;
};

FloatControl saveFloatControl() {
  FloatControl saved;
  asm volatile("fnstcw %0\n\tstmxcsr %1" : "=m"(saved.x87), "=m"(saved.mxcsr));
  return saved;
}

// A trapped floating-point fault leaves the unit as the fault found it: its trap unmasked, its
// flags raised, for an x87 stack fault the register stack full. The POSIX guard's jump out of the
// signal handler puts all that back; here it is done by hand, or the next healthy frame would
// fault as well. The flags of the saved register are cleared, so no stale flag is restored.
void restoreFloatControl(const FloatControl& saved) {
  const unsigned mxcsr = saved.mxcsr & ~0x3Fu;
  asm volatile("fninit\n\tfldcw %0\n\tldmxcsr %1" : : "m"(saved.x87), "m"(mxcsr) : "memory");
}

// Room that the system keeps for the filter and handler once the stack has overflowed: the fault
// report walks modules and frames, which takes more than the default guarantee.
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

}  // namespace

bool runGuarded(const std::function<void()>& work, const FaultFilter& filter, DWORD& code) {
  const FloatControl saved = saveFloatControl();
  reserveStackForOverflowHandling();
  __try {
    work();
    return true;
  } __except (code = GetExceptionCode(), filter(GetExceptionInformation())) {
    afterFault(code, saved);
    return false;
  }
}

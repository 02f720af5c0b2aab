// What both Windows guards do around a guarded call: keep the float state, keep stack for a filter.
#pragma once

#include <windows.h>

namespace moonstone {

// The floating-point control state of the thread: the x87 control word and the SSE control and
// status register.
struct FloatControl {
  unsigned short x87;
  unsigned mxcsr;
};

/// The thread's floating-point control state, taken before a guarded call.
FloatControl saveFloatControl();

/// Asks for room that the system keeps for the filter and handler once the stack has overflowed:
/// the fault report walks modules and frames, which takes more than the default guarantee.
void reserveStackForOverflowHandling();

/// Puts the thread back in order after a trapped fault with `code`: the floating-point unit as it
/// was before the call (a cleared x87 state, no raised flags, the traps masked as before), and
/// for a stack overflow a new guard page.
void afterFault(DWORD code, const FloatControl& saved);

}  // namespace moonstone

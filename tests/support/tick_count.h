// Test hooks on the tick count (GetTickCount) that the code under test reads: held still, or
// shifted (to test the counter's wrap-around).
#pragma once

#include <windows.h>

/// Makes GetTickCount, as the code linked into this test program calls it, report exactly
/// `value` until thawTickCount is called, so that code which throttles or times out by the clock
/// can be tested without depending on the machine's speed.
void freezeTickCount(DWORD value);
/// GetTickCount follows the real clock again.
void thawTickCount();
/// Makes GetTickCount, as above, report the real count plus `offset` (modulo 2^32) while it is not
/// held still; 0 ends the shift.
void shiftTickCount(DWORD offset);

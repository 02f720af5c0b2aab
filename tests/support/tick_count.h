// Test hook: holds the tick count (GetTickCount) that the code under test reads still.
#pragma once

#include <windows.h>

/// Makes GetTickCount, as the code linked into this test program calls it, report exactly
/// `value` until thawTickCount is called, so that code which throttles or times out by the clock
/// can be tested without depending on the machine's speed.
void freezeTickCount(DWORD value);
/// GetTickCount follows the real clock again.
void thawTickCount();

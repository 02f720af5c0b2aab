// The tick-count hook on POSIX: the Windows stand-in's own clock seam.
#include "support/tick_count.h"

void freezeTickCount(DWORD value) {
  standin::freeze_tick_count(value);
}

void thawTickCount() {
  standin::thaw_tick_count();
}

void shiftTickCount(DWORD offset) {
  standin::set_tick_count_offset(offset);
}

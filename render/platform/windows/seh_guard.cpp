// The guard on Windows: __try/__except with the fault filter. No object with a destructor may
// live in this function's frame.
#include "render/seh_guard.h"

bool runGuarded(const std::function<void()>& work, const FaultFilter& filter, DWORD& code) {
  __try {
    work();
    return true;
  } __except (code = GetExceptionCode(), filter(GetExceptionInformation())) {
    return false;
  }
}

// The guard on Windows where the compiler has __try/__except (64-bit): the fault filter decides.
// No object with a destructor may live in runGuarded's frame.
#include "render/seh_guard.h"

#include "render/platform/windows/fault_aftermath.h"

namespace moonstone {

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

}  // namespace moonstone

// The guard on POSIX: the stand-in's guard over real fault signals.
#include "render/seh_guard.h"

#include "win32/seh_guard.h"

namespace moonstone {

bool runGuarded(const std::function<void()>& work, const FaultFilter& filter, DWORD& code) {
  const auto fault =
      standin::seh_try(work, [&filter](EXCEPTION_POINTERS* pointers) { return filter(pointers); });
  if (!fault) return true;
  code = *fault;
  return false;
}

}  // namespace moonstone

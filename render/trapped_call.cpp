// Trapped host calls over the structured-exception guard.
#include "render/trapped_call.h"

#include "render/seh_guard.h"
#include "tangram/win32/seh_exception_name.h"

namespace moonstone {

void trappedCall(const char* operation, std::string& errorText, const FaultFilter& filter,
                 const std::function<void()>& call) {
  errorText.clear();
  DWORD code = 0;
  if (!runGuarded(call, filter, code)) {
    errorText = std::string("Trapped SEH Exception in ") + operation +
                "(): " + tangram::win32::seh_exception_name(code);
  }
}

}  // namespace moonstone

// The message pump shared by the session, the requests, the progress callback and the scripts.
#include "session/message_pump.h"

#include <windows.h>

namespace moonstone {

void pumpMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

}  // namespace moonstone

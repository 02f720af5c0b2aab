// Keeps the host responsive: runs every window message waiting on the calling thread.
#pragma once

namespace moonstone {

/// Empties the calling thread's message queue (PeekMessageA with PM_REMOVE, TranslateMessage,
/// DispatchMessageA) until it is empty.
void pumpMessages();

}  // namespace moonstone

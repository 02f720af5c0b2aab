// Internal link between thread ids and message queues: a thread's queue lives as long as the
// thread.
#pragma once

#include "win32/base_types.h"

namespace standin::detail {
/// Creates the message queue of a thread that has just been given its id.
void register_thread_queue(DWORD threadId);
/// Removes the queue of a thread that is ending; later posts to it fail.
void unregister_thread_queue(DWORD threadId);
}  // namespace standin::detail

// The thread-work hook on POSIX: the Windows stand-in's queue dispatches the work itself.
#include "support/thread_work.h"

#include <utility>

bool postThreadWork(DWORD threadId, std::function<void()> work) {
  return standin::post_thread_work(threadId, std::move(work));
}

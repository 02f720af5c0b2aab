// The thread-work hook on Windows: a thread message carries the work, and a message hook on the
// receiving thread runs it as the thread takes the message off its queue. (A thread message has
// no window, so DispatchMessageA would run nothing for it.)
#include "support/thread_work.h"

#include <memory>
#include <utility>

namespace {

const UINT workMessage = WM_APP + 0x4D6;

struct PostedWork {
  std::function<void()> work;
  HHOOK hook = nullptr;
};

LRESULT CALLBACK runPostedWork(int code, WPARAM removal, LPARAM message) {
  MSG* const msg = reinterpret_cast<MSG*>(message);
  if (code == HC_ACTION && removal == PM_REMOVE && msg->hwnd == nullptr &&
      msg->message == workMessage) {
    std::unique_ptr<PostedWork> posted(reinterpret_cast<PostedWork*>(msg->lParam));
    msg->message = WM_NULL;  // taken: the loop that receives it sees an empty message
    UnhookWindowsHookEx(posted->hook);
    posted->work();
  }
  return CallNextHookEx(nullptr, code, removal, message);
}

}  // namespace

bool postThreadWork(DWORD threadId, std::function<void()> work) {
  // Each posting hooks the thread for itself; whichever hook sees the message first runs the
  // work and removes the hook of that posting.
  auto posted = std::make_unique<PostedWork>();
  posted->work = std::move(work);
  posted->hook = SetWindowsHookExA(WH_GETMESSAGE, runPostedWork, nullptr, threadId);
  if (posted->hook == nullptr) return false;
  if (!PostThreadMessageA(threadId, workMessage, 0, reinterpret_cast<LPARAM>(posted.get()))) {
    UnhookWindowsHookEx(posted->hook);
    return false;
  }
  posted.release();
  return true;
}

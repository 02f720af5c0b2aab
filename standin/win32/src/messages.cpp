// Per-thread message queues: every thread that asked for its id can receive posted messages.
#include <windows.h>

#include "thread_queue_registry.h"

#include <deque>
#include <map>
#include <memory>
#include <mutex>

namespace {

struct QueuedMessage {
  MSG msg;
};

struct ThreadQueue {
  std::mutex mutex;
  std::deque<QueuedMessage> messages;
};

// Work items are found again by the id carried in the message's wParam.
std::mutex registryMutex;
std::map<DWORD, std::shared_ptr<ThreadQueue>> queues;
std::map<WPARAM, std::function<void()>> pendingWork;
WPARAM nextWorkId = 1;

std::shared_ptr<ThreadQueue> queueOf(DWORD threadId) {
  std::lock_guard<std::mutex> lock(registryMutex);
  auto found = queues.find(threadId);
  return found != queues.end() ? found->second : nullptr;
}

bool post(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam) {
  auto queue = queueOf(threadId);
  if (!queue) return false;
  QueuedMessage queued{};
  queued.msg.message = message;
  queued.msg.wParam = wParam;
  queued.msg.lParam = lParam;
  queued.msg.time = GetTickCount();
  std::lock_guard<std::mutex> lock(queue->mutex);
  queue->messages.push_back(queued);
  return true;
}

}  // namespace

namespace standin::detail {

// A thread has a queue from the moment it has an id (as a Windows thread has one after its
// first user call), so the host can post to any thread that has asked for its id.
void register_thread_queue(DWORD threadId) {
  std::lock_guard<std::mutex> lock(registryMutex);
  queues[threadId] = std::make_shared<ThreadQueue>();
}

void unregister_thread_queue(DWORD threadId) {
  std::lock_guard<std::mutex> lock(registryMutex);
  auto found = queues.find(threadId);
  if (found == queues.end()) return;
  // Held here so that the queue, and the mutex locked below, outlive the erase from the map: the
  // lock is released after it.
  const std::shared_ptr<ThreadQueue> queue = found->second;
  std::lock_guard<std::mutex> queueLock(queue->mutex);
  // Work posted to a thread that ends unpumped is dropped with its queue.
  for (const QueuedMessage& queued : queue->messages) {
    if (queued.msg.message == WM_APP) pendingWork.erase(queued.msg.wParam);
  }
  queues.erase(found);
}

}  // namespace standin::detail

BOOL WINAPI PeekMessageA(LPMSG msg, HWND, UINT, UINT, UINT removeMsg) {
  auto queue = queueOf(GetCurrentThreadId());
  if (!queue) return FALSE;
  std::lock_guard<std::mutex> lock(queue->mutex);
  if (queue->messages.empty()) return FALSE;
  *msg = queue->messages.front().msg;
  if (removeMsg & PM_REMOVE) queue->messages.pop_front();
  return TRUE;
}

BOOL WINAPI TranslateMessage(const MSG*) {
  return FALSE;
}

LRESULT WINAPI DispatchMessageA(const MSG* msg) {
  if (msg->message != WM_APP) return 0;
  std::function<void()> work;
  {
    std::lock_guard<std::mutex> lock(registryMutex);
    auto found = pendingWork.find(msg->wParam);
    if (found == pendingWork.end()) return 0;
    work = std::move(found->second);
    pendingWork.erase(found);
  }
  work();
  return 0;
}

BOOL WINAPI PostThreadMessageA(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam) {
  return post(threadId, message, wParam, lParam) ? TRUE : FALSE;
}

namespace standin {

bool post_thread_work(DWORD threadId, std::function<void()> work) {
  WPARAM id;
  {
    std::lock_guard<std::mutex> lock(registryMutex);
    id = nextWorkId++;
    pendingWork[id] = std::move(work);
  }
  if (post(threadId, WM_APP, id, 0)) return true;
  std::lock_guard<std::mutex> lock(registryMutex);
  pendingWork.erase(id);
  return false;
}

size_t pending_messages(DWORD threadId) {
  auto queue = queueOf(threadId);
  if (!queue) return 0;
  std::lock_guard<std::mutex> lock(queue->mutex);
  return queue->messages.size();
}

}  // namespace standin

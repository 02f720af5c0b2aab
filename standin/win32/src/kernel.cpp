// Tick count, sleep, thread ids and critical sections over the C++ runtime.
#include <windows.h>

#include "thread_queue_registry.h"

#include <atomic>
#include <chrono>
#include <thread>

namespace {
std::atomic<DWORD> tickOffset{0};
std::atomic<bool> tickFrozen{false};
std::atomic<DWORD> frozenTick{0};
std::atomic<DWORD> nextThreadId{1};

// Gives the thread its id on first use and takes its message queue away when the thread ends.
struct ThreadIdentity {
  DWORD id = 0;
  ~ThreadIdentity() {
    if (id != 0) standin::detail::unregister_thread_queue(id);
  }
};
thread_local ThreadIdentity currentThread;
thread_local DWORD lastError = ERROR_SUCCESS;
}  // namespace

DWORD WINAPI GetTickCount() {
  if (tickFrozen.load()) return frozenTick.load();
  const auto since = std::chrono::steady_clock::now().time_since_epoch();
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(since).count();
  // Truncation to 32 bits is the point: the counter wraps like the real one.
  return static_cast<DWORD>(static_cast<uint64_t>(ms)) + tickOffset.load();
}

void WINAPI Sleep(DWORD milliseconds) {
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

DWORD WINAPI GetCurrentThreadId() {
  if (currentThread.id == 0) {
    currentThread.id = nextThreadId.fetch_add(1);
    standin::detail::register_thread_queue(currentThread.id);
  }
  return currentThread.id;
}

DWORD WINAPI GetLastError() {
  return lastError;
}

void WINAPI SetLastError(DWORD code) {
  lastError = code;
}

void WINAPI InitializeCriticalSection(LPCRITICAL_SECTION section) {
  section->mutex = new std::recursive_mutex();
}

void WINAPI DeleteCriticalSection(LPCRITICAL_SECTION section) {
  delete section->mutex;
  section->mutex = nullptr;
}

void WINAPI EnterCriticalSection(LPCRITICAL_SECTION section) {
  section->mutex->lock();
}

void WINAPI LeaveCriticalSection(LPCRITICAL_SECTION section) {
  section->mutex->unlock();
}

BOOL WINAPI TryEnterCriticalSection(LPCRITICAL_SECTION section) {
  return section->mutex->try_lock() ? TRUE : FALSE;
}

namespace standin {
void set_tick_count_offset(DWORD offset) {
  tickOffset.store(offset);
}

void freeze_tick_count(DWORD value) {
  frozenTick.store(value);
  tickFrozen.store(true);
}

void thaw_tick_count() {
  tickFrozen.store(false);
}
}  // namespace standin

// Kernel services: tick count, sleep, thread ids and recursive critical sections.
#pragma once

#include "win32/base_types.h"

#include <mutex>

/// Milliseconds since an arbitrary start, as a 32-bit value that wraps after about 49.7 days.
DWORD WINAPI GetTickCount();
/// Suspends the calling thread for at least the given number of milliseconds.
void WINAPI Sleep(DWORD milliseconds);
/// A process-wide number of the calling thread, non-zero and stable for the thread's life.
DWORD WINAPI GetCurrentThreadId();

/// A recursive lock: the owning thread may enter it again and must leave it as often.
struct CRITICAL_SECTION {
  std::recursive_mutex* mutex;
};
typedef CRITICAL_SECTION* LPCRITICAL_SECTION;

void WINAPI InitializeCriticalSection(LPCRITICAL_SECTION section);
void WINAPI DeleteCriticalSection(LPCRITICAL_SECTION section);
void WINAPI EnterCriticalSection(LPCRITICAL_SECTION section);
void WINAPI LeaveCriticalSection(LPCRITICAL_SECTION section);
BOOL WINAPI TryEnterCriticalSection(LPCRITICAL_SECTION section);

namespace standin {
/// Test hook: shifts the value GetTickCount reports by the given amount (to test wrap-around).
void set_tick_count_offset(DWORD offset);
}  // namespace standin

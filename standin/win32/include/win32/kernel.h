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

/// The calling thread's last Windows error code (see the ERROR_ constants).
DWORD WINAPI GetLastError();
/// Sets the calling thread's last Windows error code.
void WINAPI SetLastError(DWORD code);

#define ERROR_SUCCESS 0u
#define ERROR_FILE_NOT_FOUND 2u
#define ERROR_PATH_NOT_FOUND 3u
#define ERROR_ACCESS_DENIED 5u
#define ERROR_INVALID_HANDLE 6u
#define ERROR_NOT_ENOUGH_MEMORY 8u
#define ERROR_NO_MORE_FILES 18u
#define ERROR_GEN_FAILURE 31u
#define ERROR_BAD_NETPATH 53u
#define ERROR_FILE_EXISTS 80u
#define ERROR_INVALID_PARAMETER 87u
#define ERROR_DISK_FULL 112u
#define ERROR_ALREADY_EXISTS 183u
#define ERROR_FILENAME_EXCED_RANGE 206u
#define ERROR_MR_MID_NOT_FOUND 317u

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
/// Test hook: makes GetTickCount report exactly `value` until thaw_tick_count is called, so that
/// code which throttles by the clock can be tested without depending on the machine's speed.
void freeze_tick_count(DWORD value);
/// Test hook: GetTickCount follows the real clock again.
void thaw_tick_count();
}  // namespace standin

// Conversions between POSIX time stamps and Windows FILETIME values (shared by the file calls).
#pragma once

#include "win32/base_types.h"

#include <ctime>

namespace standin::detail {

/// 100-ns intervals between 1601-01-01 and 1970-01-01.
constexpr ULONGLONG unix_epoch_in_filetime = 116444736000000000ULL;

/// A POSIX time stamp as a FILETIME (UTC).
inline FILETIME filetime_from_timespec(const timespec& time) {
  const ULONGLONG ticks = unix_epoch_in_filetime +
                          static_cast<ULONGLONG>(time.tv_sec) * 10000000ULL +
                          static_cast<ULONGLONG>(time.tv_nsec) / 100ULL;
  return FILETIME{static_cast<DWORD>(ticks & 0xFFFFFFFFu), static_cast<DWORD>(ticks >> 32)};
}

/// A FILETIME as a POSIX time stamp.
inline timespec timespec_from_filetime(const FILETIME& time) {
  const ULONGLONG ticks = (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
  const ULONGLONG since_epoch = ticks - unix_epoch_in_filetime;
  timespec result{};
  result.tv_sec = static_cast<time_t>(since_epoch / 10000000ULL);
  result.tv_nsec = static_cast<long>((since_epoch % 10000000ULL) * 100ULL);
  return result;
}

}  // namespace standin::detail

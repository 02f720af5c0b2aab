// FILETIME to local time through the C library's time zone, and to calendar fields by arithmetic.
#include <windows.h>

#include <ctime>

namespace {

constexpr ULONGLONG ticksPerSecond = 10000000ULL;
constexpr ULONGLONG ticksPerDay = ticksPerSecond * 86400ULL;
constexpr ULONGLONG largestTime = 0x7FFFFFFFFFFFFFFFULL;
// Seconds between 1601-01-01 and 1970-01-01.
constexpr LONGLONG unixEpochSeconds = 11644473600LL;

ULONGLONG ticks_of(const FILETIME& time) {
  return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

FILETIME filetime_of(ULONGLONG ticks) {
  return FILETIME{static_cast<DWORD>(ticks & 0xFFFFFFFFu), static_cast<DWORD>(ticks >> 32)};
}

// The proleptic Gregorian date of a day counted from 1601-01-01, the first year of a 400-year
// cycle, so that the cycle arithmetic needs no shift.
void civil_from_days(ULONGLONG days, WORD& year, WORD& month, WORD& day) {
  const ULONGLONG cycles = days / 146097;
  ULONGLONG rest = days % 146097;
  // The last day of a 400-year cycle belongs to its fourth century.
  ULONGLONG centuries = rest / 36524;
  if (centuries == 4) centuries = 3;
  rest -= centuries * 36524;
  const ULONGLONG quads = rest / 1461;
  rest %= 1461;
  ULONGLONG years = rest / 365;
  if (years == 4) years = 3;
  rest -= years * 365;
  const ULONGLONG fullYear = 1601 + cycles * 400 + centuries * 100 + quads * 4 + years;
  const bool leap = (fullYear % 4 == 0 && fullYear % 100 != 0) || fullYear % 400 == 0;
  const int monthDays[12] = {31, leap ? 29 : 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  int index = 0;
  while (rest >= static_cast<ULONGLONG>(monthDays[index])) rest -= monthDays[index++];
  year = static_cast<WORD>(fullYear);
  month = static_cast<WORD>(index + 1);
  day = static_cast<WORD>(rest + 1);
}

}  // namespace

BOOL WINAPI FileTimeToLocalFileTime(const FILETIME* utc, LPFILETIME local) {
  const ULONGLONG ticks = ticks_of(*utc);
  if (ticks > largestTime) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const time_t moment =
      static_cast<time_t>(static_cast<LONGLONG>(ticks / ticksPerSecond) - unixEpochSeconds);
  tm broken{};
  if (localtime_r(&moment, &broken) == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const LONGLONG shift =
      static_cast<LONGLONG>(broken.tm_gmtoff) * static_cast<LONGLONG>(ticksPerSecond);
  const LONGLONG shifted = static_cast<LONGLONG>(ticks) + shift;
  if (shifted < 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  *local = filetime_of(static_cast<ULONGLONG>(shifted));
  return TRUE;
}

BOOL WINAPI FileTimeToSystemTime(const FILETIME* time, LPSYSTEMTIME system) {
  const ULONGLONG ticks = ticks_of(*time);
  if (ticks > largestTime) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const ULONGLONG days = ticks / ticksPerDay;
  const ULONGLONG inDay = ticks % ticksPerDay;
  SYSTEMTIME result{};
  civil_from_days(days, result.wYear, result.wMonth, result.wDay);
  // 1601-01-01 was a Monday.
  result.wDayOfWeek = static_cast<WORD>((days + 1) % 7);
  result.wHour = static_cast<WORD>(inDay / (3600 * ticksPerSecond));
  result.wMinute = static_cast<WORD>(inDay / (60 * ticksPerSecond) % 60);
  result.wSecond = static_cast<WORD>(inDay / ticksPerSecond % 60);
  result.wMilliseconds = static_cast<WORD>(inDay / 10000 % 1000);
  *system = result;
  return TRUE;
}

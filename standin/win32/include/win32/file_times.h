// FILETIME conversions: UTC to local time, and a FILETIME broken down into calendar fields.
#pragma once

#include "win32/base_types.h"

/// Shifts a UTC FILETIME to local time by the time zone's offset (daylight saving included) in
/// force at that moment. FALSE with ERROR_INVALID_PARAMETER when the result would leave the
/// FILETIME range (0 to 0x7FFFFFFFFFFFFFFF).
BOOL WINAPI FileTimeToLocalFileTime(const FILETIME* utc, LPFILETIME local);
/// Breaks a FILETIME down into year (1601 on), month, day, day of week (0 = Sunday), hours,
/// minutes, seconds and milliseconds, without any time-zone shift. FALSE with
/// ERROR_INVALID_PARAMETER for a value above 0x7FFFFFFFFFFFFFFF.
BOOL WINAPI FileTimeToSystemTime(const FILETIME* time, LPSYSTEMTIME system);

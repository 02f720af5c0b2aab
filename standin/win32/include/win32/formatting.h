// Windows' own text formatter, wsprintfA: C-style conversions with Windows argument sizes.
#pragma once

#include "win32/base_types.h"

#include <cstdarg>

/// Formats into buffer, which must hold 1024 bytes; at most 1023 characters are written, then a
/// terminating zero. Returns the number of characters written. Conversions:
/// %[-][#][0][width][.precision][h|l]type with type c, d, i, u, x, X, s, p and %%. Integer
/// arguments are 32-bit (also with 'l', as on Windows); %p prints a pointer in upper-case
/// hexadecimal at full pointer width (16 digits on 64-bit, 8 on 32-bit); a null %s prints
/// "(null)". Any other character after % is copied as it is.
int WINAPI wvsprintfA(LPSTR buffer, LPCSTR format, va_list arguments);
/// wvsprintfA with the arguments given in place.
int wsprintfA(LPSTR buffer, LPCSTR format, ...);

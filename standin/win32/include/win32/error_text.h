// The system's texts for Windows error codes, and the local memory block they are returned in.
#pragma once

#include "win32/base_types.h"

#include <cstdarg>

typedef HANDLE HLOCAL;

#define FORMAT_MESSAGE_ALLOCATE_BUFFER 0x00000100u
#define FORMAT_MESSAGE_IGNORE_INSERTS 0x00000200u
#define FORMAT_MESSAGE_FROM_SYSTEM 0x00001000u

#define LANG_NEUTRAL 0x00
#define SUBLANG_DEFAULT 0x01
#define MAKELANGID(primary, sub) ((static_cast<WORD>(sub) << 10) | static_cast<WORD>(primary))

/// Looks up the system's text for an error code, worded as Windows words it and ended with
/// "\r\n". Only the way the plug-in asks is served: FORMAT_MESSAGE_FROM_SYSTEM with
/// FORMAT_MESSAGE_IGNORE_INSERTS and FORMAT_MESSAGE_ALLOCATE_BUFFER, where `buffer` is really a
/// char** that receives a block the caller frees with LocalFree; `size` is a minimum length,
/// `source` and `arguments` are unused, and every language gives the English text. Returns the
/// text's length without its terminator, or 0 with ERROR_MR_MID_NOT_FOUND for a code without a
/// text and ERROR_INVALID_PARAMETER for other flags.
DWORD WINAPI FormatMessageA(DWORD flags, LPCVOID source, DWORD messageId, DWORD languageId,
                            LPSTR buffer, DWORD size, va_list* arguments);

/// Frees a block returned by FormatMessageA; null is allowed. Returns null.
HLOCAL WINAPI LocalFree(HLOCAL block);

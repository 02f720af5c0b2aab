// The file names of loaded modules.
#pragma once

#include "win32/base_types.h"

#define ERROR_INSUFFICIENT_BUFFER 122u
#define ERROR_MOD_NOT_FOUND 126u

/// Copies the full path of a loaded module's file into buffer and returns its length. A null
/// module means the process's executable; any other is a module's base address (hModule of
/// MODULEENTRY32). A path that does not fit is cut to size - 1 characters and terminated, and
/// the call returns size with ERROR_INSUFFICIENT_BUFFER. Returns 0 with ERROR_MOD_NOT_FOUND for
/// an address that is no module's base.
DWORD WINAPI GetModuleFileNameA(HMODULE module, LPSTR buffer, DWORD size);

// Closing kernel object handles (files, module snapshots).
#pragma once

#include "win32/base_types.h"

/// Closes a handle returned by CreateFileA or CreateToolhelp32Snapshot and frees its object.
/// FALSE with ERROR_INVALID_HANDLE for a handle that is not open (closed already, or never was).
BOOL WINAPI CloseHandle(HANDLE handle);

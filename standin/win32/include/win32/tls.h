// Thread-local storage slots: process-wide indexes, one pointer-sized value per thread and slot.
#pragma once

#include "win32/base_types.h"

#define TLS_OUT_OF_INDEXES 0xFFFFFFFFu

/// Reserves a slot; every thread's value in it starts null. TLS_OUT_OF_INDEXES when none is left.
DWORD WINAPI TlsAlloc();
/// Releases a slot. FALSE (last error ERROR_INVALID_PARAMETER) for an index that is not reserved.
BOOL WINAPI TlsFree(DWORD index);
/// The calling thread's value in the slot. Sets the last error to ERROR_SUCCESS on success; for an
/// index that is not reserved returns null with ERROR_INVALID_PARAMETER.
LPVOID WINAPI TlsGetValue(DWORD index);
/// Stores the calling thread's value in the slot. FALSE (ERROR_INVALID_PARAMETER) for a bad index.
BOOL WINAPI TlsSetValue(DWORD index, LPVOID value);

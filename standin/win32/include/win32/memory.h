// Questions about this process's memory that never fault: readability, code addresses, safe copies.
#pragma once

#include "win32/base_types.h"

typedef INT_PTR(WINAPI* FARPROC)();

#define ERROR_PARTIAL_COPY 299u

/// TRUE when any byte of [address, address + size) cannot be read (probed through the kernel,
/// so an unreadable address never faults); FALSE for a size of 0.
BOOL WINAPI IsBadReadPtr(const void* address, UINT_PTR size);
/// TRUE when the address does not lie in executable memory of this process.
BOOL WINAPI IsBadCodePtr(FARPROC address);

/// The pseudo handle that stands for the calling process; it needs no closing.
HANDLE WINAPI GetCurrentProcess();
/// Copies size bytes at address of the process (only the calling process is supported) into
/// buffer without faulting. Fails with ERROR_PARTIAL_COPY when any of them cannot be read
/// (nothing is then reported read) and ERROR_INVALID_HANDLE for another process.
BOOL WINAPI ReadProcessMemory(HANDLE process, LPCVOID address, LPVOID buffer, SIZE_T size,
                              SIZE_T* bytesRead);

// Opening files as handles and reading their times.
#pragma once

#include "win32/files.h"

#define GENERIC_READ 0x80000000u
#define GENERIC_WRITE 0x40000000u

#define FILE_SHARE_READ 0x00000001u
#define FILE_SHARE_WRITE 0x00000002u
#define FILE_SHARE_DELETE 0x00000004u

#define CREATE_NEW 1u
#define CREATE_ALWAYS 2u
#define OPEN_EXISTING 3u
#define OPEN_ALWAYS 4u
#define TRUNCATE_EXISTING 5u

#define FILE_FLAG_BACKUP_SEMANTICS 0x02000000u

/// Opens or creates a file by Windows path (see win32/files.h for paths and error codes) and
/// returns a handle for GetFileTime and CloseHandle, or INVALID_HANDLE_VALUE. The disposition is
/// one of CREATE_NEW (ERROR_FILE_EXISTS when the file exists), CREATE_ALWAYS and OPEN_ALWAYS
/// (both leave ERROR_ALREADY_EXISTS when it existed, else ERROR_SUCCESS), OPEN_EXISTING,
/// TRUNCATE_EXISTING. A folder opens only with FILE_FLAG_BACKUP_SEMANTICS, else
/// ERROR_ACCESS_DENIED. Files are never locked here: the share mode is accepted and not enforced.
/// Security attributes and the template must be null.
HANDLE WINAPI CreateFileA(LPCSTR path, DWORD desiredAccess, DWORD shareMode,
                          LPSECURITY_ATTRIBUTES security, DWORD creationDisposition,
                          DWORD flagsAndAttributes, HANDLE templateFile);

/// The file's creation (status-change on POSIX), last-access and last-write times, in UTC; each
/// pointer may be null. FALSE with ERROR_INVALID_HANDLE for a handle that is no open file.
BOOL WINAPI GetFileTime(HANDLE file, LPFILETIME creation, LPFILETIME lastAccess,
                        LPFILETIME lastWrite);

// File attributes, folder creation and folder searches by Windows path.
#pragma once

#include "win32/base_types.h"

// Every path below is a Windows path mapped onto this machine's folders by the drive map
// (win32/drive_map.h). A UNC path \\server\share\... names the folder /server/share/...; a server
// whose folder /server does not exist is a server that cannot be reached (ERROR_BAD_NETPATH).
// Failures set the thread's last error: ERROR_FILE_NOT_FOUND when only the last name is missing,
// ERROR_PATH_NOT_FOUND when a folder on the way is missing or is a file, ERROR_ACCESS_DENIED,
// ERROR_ALREADY_EXISTS, ERROR_FILENAME_EXCED_RANGE, ERROR_DISK_FULL, else ERROR_GEN_FAILURE.

#define FILE_ATTRIBUTE_READONLY 0x00000001u
#define FILE_ATTRIBUTE_HIDDEN 0x00000002u
#define FILE_ATTRIBUTE_SYSTEM 0x00000004u
#define FILE_ATTRIBUTE_DIRECTORY 0x00000010u
#define FILE_ATTRIBUTE_ARCHIVE 0x00000020u
#define FILE_ATTRIBUTE_NORMAL 0x00000080u
#define INVALID_FILE_ATTRIBUTES (static_cast<DWORD>(-1))

enum GET_FILEEX_INFO_LEVELS { GetFileExInfoStandard, GetFileExMaxInfoLevel };

struct WIN32_FILE_ATTRIBUTE_DATA {
  DWORD dwFileAttributes;
  FILETIME ftCreationTime;
  FILETIME ftLastAccessTime;
  FILETIME ftLastWriteTime;
  DWORD nFileSizeHigh;
  DWORD nFileSizeLow;
};
typedef WIN32_FILE_ATTRIBUTE_DATA* LPWIN32_FILE_ATTRIBUTE_DATA;

struct WIN32_FIND_DATAA {
  DWORD dwFileAttributes;
  FILETIME ftCreationTime;
  FILETIME ftLastAccessTime;
  FILETIME ftLastWriteTime;
  DWORD nFileSizeHigh;
  DWORD nFileSizeLow;
  DWORD dwReserved0;
  DWORD dwReserved1;
  CHAR cFileName[MAX_PATH];
  CHAR cAlternateFileName[14];
};
typedef WIN32_FIND_DATAA* LPWIN32_FIND_DATAA;

/// Fills a WIN32_FILE_ATTRIBUTE_DATA (the only level, GetFileExInfoStandard) for a file or folder.
/// Attributes: FILE_ATTRIBUTE_DIRECTORY for a folder, FILE_ATTRIBUTE_READONLY when the owner may
/// not write, FILE_ATTRIBUTE_NORMAL when neither applies. The creation time is the status-change
/// time, the only one POSIX keeps besides access and write.
BOOL WINAPI GetFileAttributesExA(LPCSTR path, GET_FILEEX_INFO_LEVELS level, LPVOID information);

/// Creates one folder; its parent must exist (else ERROR_PATH_NOT_FOUND). An existing file or
/// folder of that name gives ERROR_ALREADY_EXISTS. Security attributes must be null.
BOOL WINAPI CreateDirectoryA(LPCSTR path, LPSECURITY_ATTRIBUTES security);

/// Starts a search of one folder for the names matching the last element of the pattern, in
/// which "*" stands for any run of characters and "?" for one character; names are compared
/// without regard to case, and the matches come in name order. Returns a handle for
/// FindNextFileA and FindClose with the first match in `data`, or INVALID_HANDLE_VALUE with
/// ERROR_FILE_NOT_FOUND when nothing matches (also for a pattern ending in a separator) and the
/// codes above when the folder cannot be read.
HANDLE WINAPI FindFirstFileA(LPCSTR pattern, LPWIN32_FIND_DATAA data);
/// The next match of the search; FALSE with ERROR_NO_MORE_FILES after the last one.
BOOL WINAPI FindNextFileA(HANDLE search, LPWIN32_FIND_DATAA data);
/// Ends a search and frees its handle.
BOOL WINAPI FindClose(HANDLE search);

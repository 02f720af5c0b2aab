// File attributes and folder creation by Windows path over POSIX stat and mkdir.
#include "files_posix.h"

#include "win32/kernel.h"

#include <sys/stat.h>

#include <cerrno>

BOOL WINAPI GetFileAttributesExA(LPCSTR path, GET_FILEEX_INFO_LEVELS level, LPVOID information) {
  if (level != GetFileExInfoStandard || information == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const auto posixPath = standin::detail::reachable_posix_path(path);
  if (!posixPath) return FALSE;
  struct stat status {};
  if (stat(posixPath->c_str(), &status) != 0) {
    standin::detail::set_error_from_errno(errno, *posixPath);
    return FALSE;
  }
  const standin::detail::file_record record = standin::detail::record_of(status);
  auto* data = static_cast<WIN32_FILE_ATTRIBUTE_DATA*>(information);
  data->dwFileAttributes = record.attributes;
  data->ftCreationTime = record.creation;
  data->ftLastAccessTime = record.lastAccess;
  data->ftLastWriteTime = record.lastWrite;
  data->nFileSizeHigh = record.sizeHigh;
  data->nFileSizeLow = record.sizeLow;
  return TRUE;
}

BOOL WINAPI CreateDirectoryA(LPCSTR path, LPSECURITY_ATTRIBUTES security) {
  if (security != nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const auto posixPath = standin::detail::reachable_posix_path(path);
  if (!posixPath) return FALSE;
  if (mkdir(posixPath->c_str(), 0777) != 0) {
    standin::detail::set_error_from_errno(errno, *posixPath);
    return FALSE;
  }
  return TRUE;
}

// Windows paths, error codes and file records over POSIX stat results.
#include "files_posix.h"

#include "posix_time.h"
#include "win32/drive_map.h"
#include "win32/kernel.h"

#include <cerrno>

namespace standin::detail {
namespace {

bool is_separator(char c) {
  return c == '\\' || c == '/';
}

bool is_folder(const std::string& posixPath) {
  struct stat status {};
  return stat(posixPath.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

// A UNC server \\name stands for the folder /name; without that folder the server is unreachable.
bool server_unreachable(const std::string& windowsPath) {
  if (windowsPath.size() < 2 || !is_separator(windowsPath[0]) || !is_separator(windowsPath[1]))
    return false;
  std::string server;
  for (size_t i = 2; i < windowsPath.size() && !is_separator(windowsPath[i]); ++i)
    server += windowsPath[i];
  return server.empty() || !is_folder("/" + server);
}

std::string folder_of(std::string posixPath) {
  while (posixPath.size() > 1 && posixPath.back() == '/') posixPath.pop_back();
  const size_t slash = posixPath.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : posixPath.substr(0, slash);
}

}  // namespace

std::optional<std::string> reachable_posix_path(const char* windowsPath) {
  if (windowsPath == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return std::nullopt;
  }
  if (server_unreachable(windowsPath)) {
    SetLastError(ERROR_BAD_NETPATH);
    return std::nullopt;
  }
  return posix_path(windowsPath);
}

void set_error_from_errno(int error, const std::string& posixPath) {
  switch (error) {
    case ENOENT:
      SetLastError(is_folder(folder_of(posixPath)) ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND);
      break;
    case ENOTDIR:
      SetLastError(ERROR_PATH_NOT_FOUND);
      break;
    case EACCES:
    case EPERM:
    case EROFS:
      SetLastError(ERROR_ACCESS_DENIED);
      break;
    case EEXIST:
      SetLastError(ERROR_ALREADY_EXISTS);
      break;
    case ENAMETOOLONG:
      SetLastError(ERROR_FILENAME_EXCED_RANGE);
      break;
    case ENOSPC:
    case EDQUOT:
      SetLastError(ERROR_DISK_FULL);
      break;
    default:
      SetLastError(ERROR_GEN_FAILURE);
  }
}

file_record record_of(const struct stat& status) {
  file_record record{};
  if (S_ISDIR(status.st_mode)) record.attributes |= FILE_ATTRIBUTE_DIRECTORY;
  if ((status.st_mode & S_IWUSR) == 0) record.attributes |= FILE_ATTRIBUTE_READONLY;
  if (record.attributes == 0) record.attributes = FILE_ATTRIBUTE_NORMAL;
  record.creation = filetime_from_timespec(status.st_ctim);
  record.lastAccess = filetime_from_timespec(status.st_atim);
  record.lastWrite = filetime_from_timespec(status.st_mtim);
  // Folders have no size on Windows.
  const ULONGLONG size = S_ISDIR(status.st_mode) ? 0 : static_cast<ULONGLONG>(status.st_size);
  record.sizeHigh = static_cast<DWORD>(size >> 32);
  record.sizeLow = static_cast<DWORD>(size & 0xFFFFFFFFu);
  return record;
}

}  // namespace standin::detail

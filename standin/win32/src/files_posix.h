// What the Windows file calls share on POSIX: reaching a path, error codes, attributes from a stat.
#pragma once

#include "win32/files.h"

#include <sys/stat.h>

#include <optional>
#include <string>

namespace standin::detail {

/// The POSIX path of a Windows path given to a file call. Sets ERROR_INVALID_PARAMETER for a null
/// path and ERROR_BAD_NETPATH for a UNC path whose server cannot be reached, and then gives none.
std::optional<std::string> reachable_posix_path(const char* windowsPath);

/// Sets the thread's last error for a POSIX call on `posixPath` that failed with `error`
/// (an errno value). A missing name is ERROR_FILE_NOT_FOUND when its folder exists and
/// ERROR_PATH_NOT_FOUND when it does not.
void set_error_from_errno(int error, const std::string& posixPath);

/// The attributes, times and size of a stat result as both Windows file records hold them.
struct file_record {
  DWORD attributes;
  FILETIME creation;
  FILETIME lastAccess;
  FILETIME lastWrite;
  DWORD sizeHigh;
  DWORD sizeLow;
};
file_record record_of(const struct stat& status);

}  // namespace standin::detail

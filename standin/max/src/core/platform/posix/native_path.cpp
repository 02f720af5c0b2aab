// File names on POSIX: through the Windows stand-in's drive map.
#include "core/native_path.h"

#include "win32/drive_map.h"

namespace standin {
std::string native_path(const std::string& windowsPath) {
  return posix_path(windowsPath);
}

const char* const native_separators = "/";
}  // namespace standin

// File names on Windows: the system opens them as they are.
#include "core/native_path.h"

namespace standin {
std::string native_path(const std::string& windowsPath) {
  return windowsPath;
}

const char* const native_separators = "\\/";
}  // namespace standin

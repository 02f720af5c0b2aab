// Windows paths to POSIX paths through the drive map of the environment.
#include "win32/drive_map.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace standin {

std::string posix_path(const std::string& windowsPath) {
  std::string path = windowsPath;
  std::replace(path.begin(), path.end(), '\\', '/');
  const bool hasDrive =
      path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0]));
  if (!hasDrive) return path;

  const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(path[0])));
  std::string root;
  const std::string variable = std::string("MAXSIM_DRIVE_") + letter;
  if (const char* mapped = std::getenv(variable.c_str()); mapped != nullptr && *mapped != '\0') {
    root = mapped;
  } else {
    const char* home = std::getenv("HOME");
    root = std::string(home != nullptr ? home : "") + "/.maxsim/drive_" +
           static_cast<char>(std::tolower(static_cast<unsigned char>(letter)));
  }
  while (root.size() > 1 && root.back() == '/') root.pop_back();

  std::string rest = path.substr(2);
  if (rest.empty()) return root;
  // "c:file" is relative to the drive's current folder; the root stands in for it here.
  if (rest.front() != '/') rest.insert(rest.begin(), '/');
  return root + rest;
}

}  // namespace standin

// Drive letters on Windows: the system's own. Local disks need nothing; a node maps its network
// drives (net use, or subst for a folder) before the worker starts, for every program alike.
#include "controller/worker/session/drive_letters.h"

#include <stdexcept>

namespace worker {

std::string mapDriveLetters(const std::map<char, std::string>& given, const std::string&) {
  if (!given.empty()) {
    throw std::runtime_error(
        std::string("drive ") + given.begin()->first +
        ": cannot be given to the worker on Windows, where drive letters are the system's own: "
        "map it before the worker starts (net use, or subst for a folder)");
  }
  return "C:\\";
}

std::string localPath(const std::string& pluginPath) {
  // The plug-in's names are this machine's names; only the separators are made uniform.
  std::string path = pluginPath;
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

}  // namespace worker

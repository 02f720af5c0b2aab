// Drive letters for the stand-in: MAXSIM_DRIVE_X variables that maxsim and the worker both read.
#include "controller/worker/session/drive_letters.h"

#include "controller/worker/session/system_environment.h"

#include <win32/drive_map.h>

#include <cstdlib>
#include <filesystem>

namespace worker {

namespace fs = std::filesystem;

std::string mapDriveLetters(const std::map<char, std::string>& given, const std::string& workDir) {
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    const std::string variable = std::string("MAXSIM_DRIVE_") + letter;
    const auto named = given.find(letter);
    std::string folder;
    if (named != given.end()) {
      folder = fs::absolute(named->second).lexically_normal().string();
    } else if (const char* mapped = std::getenv(variable.c_str()); mapped && *mapped) {
      folder = mapped;
    } else {
      folder = (fs::path(workDir) / (std::string("drive_") + static_cast<char>(letter - 'A' + 'a')))
                   .string();
    }
    setEnvironmentVariable(variable, folder);
  }
  return std::getenv("MAXSIM_DRIVE_C");
}

std::string localPath(const std::string& pluginPath) {
  return standin::posix_path(pluginPath);
}

}  // namespace worker

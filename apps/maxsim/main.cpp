// maxsim: loads the plug-ins, runs the start-up scripts, exits with their outcome.
#include "apps/maxsim/options.h"
#include "apps/maxsim/plugin_loader.h"
#include "apps/maxsim/program_folder.h"
#include "apps/maxsim/standard_streams.h"
#include "apps/maxsim/startup_scripts.h"

#include <iostream>
#include <stdexcept>
#include <sys/stat.h>

namespace {

/// plugins/ beside the executable.
std::string defaultPluginFolder() {
  const std::string folder = programFolder();
  return folder.empty() ? "plugins" : folder + "/plugins";
}

bool isFolder(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

int main(int argc, char** argv) {
  useBinaryStandardStreams();
  Options options;
  try {
    options = parseOptions(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const std::invalid_argument& e) {
    std::cerr << "maxsim: " << e.what() << "\n" << usage();
    return 2;
  }
  if (options.help) {
    std::cout << usage();
    return 0;
  }
  std::vector<std::string> folders = options.pluginFolders;
  if (folders.empty()) {
    // Without -p, a missing default folder just means no plug-ins.
    const std::string standard = defaultPluginFolder();
    if (isFolder(standard)) folders.push_back(standard);
  }
  try {
    for (const std::string& folder : folders) {
      for (const LoadedPlugin& plugin : loadPlugins(folder)) {
        if (!options.quiet) {
          std::cerr << "maxsim: loaded " << plugin.path << ": " << plugin.description << std::endl;
        }
      }
    }
  } catch (const std::exception& e) {
    std::cerr << "maxsim: " << e.what() << std::endl;
    return 1;
  }
  return runStartupScripts(options.scripts);
}

// Loading plug-in libraries with the system's loader and calling their entry points.
#include "apps/maxsim/plugin_loader.h"

#include "apps/maxsim/shared_library.h"

#include <max.h>

#include <plugapi.h>

#include <algorithm>
#include <cstdio>
#include <dirent.h>
#include <stdexcept>

namespace {

// The entry points are C++ functions, exported under their decorated names (the same with GCC and
// with clang for mingw-w64).
const char* const libVersionSymbol = "_Z10LibVersionv";
const char* const libDescriptionSymbol = "_Z14LibDescriptionv";
const char* const libInitSymbol = "_Z7LibInitv";

std::vector<std::string> pluginFiles(const std::string& folder) {
  DIR* dir = opendir(folder.c_str());
  if (!dir) throw std::runtime_error("cannot read the plug-in folder " + folder);
  std::vector<std::string> files;
  while (dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    if (name.size() > 4 && name.compare(name.size() - 4, 4, ".dlx") == 0) {
      files.push_back(folder + "/" + name);
    }
  }
  closedir(dir);
  std::sort(files.begin(), files.end());
  return files;
}

template <typename Function>
Function entryPoint(void* library, const char* symbol, const char* name, const std::string& path) {
  void* address = entryPointAddress(library, symbol);
  if (!address) throw std::runtime_error("plug-in " + path + " does not export " + name);
  return reinterpret_cast<Function>(address);
}

std::string hex(unsigned long value) {
  char text[32];
  std::snprintf(text, sizeof text, "0x%08lX", value);
  return text;
}

}  // namespace

std::vector<LoadedPlugin> loadPlugins(const std::string& folder) {
  std::vector<LoadedPlugin> loaded;
  for (const std::string& path : pluginFiles(folder)) {
    void* library = loadSharedLibrary(path);
    auto version = entryPoint<unsigned long (*)()>(library, libVersionSymbol, "LibVersion", path);
    auto description =
        entryPoint<const char* (*)()>(library, libDescriptionSymbol, "LibDescription", path);
    auto init = entryPoint<void (*)()>(library, libInitSymbol, "LibInit", path);
    const unsigned long stamp = version();
    if (stamp != static_cast<unsigned long>(VERSION_3DSMAX)) {
      throw std::runtime_error("plug-in " + path + " was built for another SDK: version stamp " +
                               hex(stamp) + ", this host needs " + hex(VERSION_3DSMAX));
    }
    const char* text = description();
    init();
    loaded.push_back({path, text ? text : ""});
  }
  return loaded;
}

// Plug-in libraries on POSIX: the dynamic loader, with symbols visible to later plug-ins.
#include "apps/maxsim/shared_library.h"

#include <dlfcn.h>
#include <stdexcept>

void* loadSharedLibrary(const std::string& path) {
  // RTLD_GLOBAL: later plug-ins may use what earlier ones export, as in the host's process.
  void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_GLOBAL);
  if (!library) throw std::runtime_error("cannot load plug-in " + path + ": " + dlerror());
  return library;
}

void* entryPointAddress(void* library, const char* decorated) {
  return dlsym(library, decorated);
}

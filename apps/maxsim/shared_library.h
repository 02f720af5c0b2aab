// A plug-in library loaded into the process with the system's loader, kept for the process's life.
#pragma once

#include <string>

/// Loads the library at path so that it resolves the host's symbols, or throws
/// std::runtime_error "cannot load plug-in PATH: REASON". The library is never unloaded.
void* loadSharedLibrary(const std::string& path);

/// The address of a plug-in entry point of a loaded library, or nullptr: the C++ function `name`
/// whose decorated symbol is `decorated`. POSIX libraries export the decorated symbol; Windows
/// plug-ins export the plain name, as the host's loader looks it up.
void* entryPointAddress(void* library, const char* name, const char* decorated);

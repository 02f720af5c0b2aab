// A plug-in library loaded into the process with the system's loader, kept for the process's life.
#pragma once

#include <string>

/// Loads the library at path so that it resolves the host's symbols, or throws
/// std::runtime_error "cannot load plug-in PATH: REASON". The library is never unloaded.
void* loadSharedLibrary(const std::string& path);

/// The address of a plug-in entry point of a loaded library, found by its decorated symbol (the
/// entry points are C++ functions, exported as the compiler names them), or nullptr.
void* entryPointAddress(void* library, const char* decorated);

// A plug-in library loaded into the process with the system's loader, kept for the process's life.
#pragma once

#include <string>

/// Loads the library at path so that it resolves the host's symbols, or throws
/// std::runtime_error "cannot load plug-in PATH: REASON". The library is never unloaded.
void* loadSharedLibrary(const std::string& path);

/// The address of an exported symbol of a loaded library, or nullptr.
void* sharedLibrarySymbol(void* library, const char* symbol);

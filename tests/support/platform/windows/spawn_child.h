// Test helper on Windows: starts a program with its standard streams on files, without waiting.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

/// Starts the program with the arguments (no shell), standard input read from inPath, output
/// written to outPath and error to errPath (to outPath as well when errPath is empty). The
/// process's handle, for the caller to close, and its id in *id; nullptr when it could not start.
HANDLE spawnChild(const std::string& program, const std::vector<std::string>& args,
                  const std::string& inPath, const std::string& outPath, const std::string& errPath,
                  DWORD* id);

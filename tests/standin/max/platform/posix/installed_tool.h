// Test helper: whether a command-line tool of the system is installed, for tests that open our
// files with other programs.
#pragma once

#include <cstdlib>
#include <string>

/// True when the shell finds the tool on the path.
inline bool toolAvailable(const char* tool) {
  const std::string command = std::string("command -v ") + tool + " >/dev/null 2>&1";
  return std::system(command.c_str()) == 0;
}

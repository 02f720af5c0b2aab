// The executable's folder on Windows: the module file name of the process.
#include "apps/maxsim/program_folder.h"

#include <windows.h>

std::string programFolder() {
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return "";
  const std::string executable(path, length);
  return executable.substr(0, executable.find_last_of("\\/"));
}

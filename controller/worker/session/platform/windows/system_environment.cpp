// The executable's folder from the module's file name and environment variables through the C
// runtime, which keeps its own copy of the process's environment and passes both on.
#include "controller/worker/session/system_environment.h"

#include <windows.h>

#include <cstdlib>
#include <filesystem>

namespace worker {

std::string ownExecutableFolder() {
  wchar_t path[MAX_PATH * 4];
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH * 4);
  if (length == 0 || length >= MAX_PATH * 4) return std::filesystem::current_path().string();
  return std::filesystem::path(std::wstring(path, length)).parent_path().string();
}

std::string executableSuffix() {
  return ".exe";
}

void ignoreClosedPipes() {
  // Nothing to do: Windows has no signal for it, a write to a closed pipe only fails.
}

void setEnvironmentVariable(const std::string& name, const std::string& value) {
  // _putenv_s sets both the C runtime's copy (getenv) and the process's (children).
  _putenv_s(name.c_str(), value.c_str());
}

}  // namespace worker

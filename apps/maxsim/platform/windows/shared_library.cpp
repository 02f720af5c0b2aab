// Plug-in libraries on Windows: LoadLibrary and GetProcAddress, with the system's error text.
#include "apps/maxsim/shared_library.h"

#include <windows.h>

#include <stdexcept>

namespace {

std::string lastErrorText() {
  const DWORD code = GetLastError();
  char text[512] = {};
  const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                      nullptr, code, 0, text, sizeof text, nullptr);
  std::string message(text, length);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r')) message.pop_back();
  return message.empty() ? "error " + std::to_string(code) : message;
}

}  // namespace

void* loadSharedLibrary(const std::string& path) {
  HMODULE library = LoadLibraryA(path.c_str());
  if (!library) throw std::runtime_error("cannot load plug-in " + path + ": " + lastErrorText());
  return reinterpret_cast<void*>(library);
}

void* entryPointAddress(void* library, const char* decorated) {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), decorated));
}

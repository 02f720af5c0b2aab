// Wine detection on Windows: Wine's ntdll exports its version function, real Windows' does not.
#include "support/wine.h"

#include <windows.h>

bool runningUnderWine() {
  const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

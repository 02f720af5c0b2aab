// The tick-count hook on Windows: the test program's import of GetTickCount is pointed at a clock
// of the hook's own, which reports the held value or, when none is held, the real tick count.
// The plug-in's and the support library's code is linked into the test program, so every call
// they make goes through that one import.
#include "support/tick_count.h"

#include <atomic>
#include <cstring>
#include <stdexcept>

namespace {

using TickCountFunction = DWORD(WINAPI*)();

TickCountFunction realTickCount = nullptr;
std::atomic<bool> held{false};
std::atomic<DWORD> heldValue{0};

DWORD WINAPI hookedTickCount() {
  return held ? heldValue.load() : realTickCount();
}

// The slot of the program's import address table that holds `function` of `dll`, or null.
ULONG_PTR* importSlot(HMODULE module, const char* dll, const char* function) {
  BYTE* const base = reinterpret_cast<BYTE*>(module);
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& imports =
      nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  for (auto* entry = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
       entry->Name != 0; ++entry) {
    if (lstrcmpiA(reinterpret_cast<const char*>(base + entry->Name), dll) != 0) continue;
    auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->OriginalFirstThunk);
    auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->FirstThunk);
    for (; names->u1.AddressOfData != 0; ++names, ++slots) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      const auto* byName =
          reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
      if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) == 0) {
        return reinterpret_cast<ULONG_PTR*>(&slots->u1.Function);
      }
    }
  }
  return nullptr;
}

// Points the import at the hook's clock, once for the process.
void redirectTickCount() {
  if (realTickCount != nullptr) return;
  ULONG_PTR* slot = importSlot(GetModuleHandleA(nullptr), "kernel32.dll", "GetTickCount");
  if (slot == nullptr) throw std::runtime_error("the test program does not import GetTickCount");
  DWORD protection = 0;
  if (!VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &protection)) {
    throw std::runtime_error("cannot make the import of GetTickCount writable");
  }
  realTickCount = reinterpret_cast<TickCountFunction>(*slot);
  *slot = reinterpret_cast<ULONG_PTR>(&hookedTickCount);
  VirtualProtect(slot, sizeof *slot, protection, &protection);
}

}  // namespace

void freezeTickCount(DWORD value) {
  redirectTickCount();
  heldValue = value;
  held = true;
}

void thawTickCount() {
  held = false;
}

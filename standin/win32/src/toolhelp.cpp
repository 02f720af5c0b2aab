// Module snapshots over the dynamic linker's list of loaded objects.
#include <tlhelp32.h>

#include "kernel_object.h"
#include "loaded_modules.h"

#include <unistd.h>

#include <cstring>
#include <vector>

static_assert(sizeof(void*) != 8 || sizeof(MODULEENTRY32) == 568, "MODULEENTRY32 layout");
static_assert(sizeof(void*) != 4 || sizeof(MODULEENTRY32) == 548, "MODULEENTRY32 layout");

namespace {

class ModuleSnapshot : public standin::detail::kernel_object {
 public:
  std::vector<MODULEENTRY32> modules;
  size_t next = 0;
};

void copy_truncated(char* target, size_t capacity, const std::string& text) {
  const size_t length = std::min(text.size(), capacity - 1);
  std::memcpy(target, text.data(), length);
  target[length] = '\0';
}

MODULEENTRY32 entry_of(const standin::detail::loaded_module& module) {
  MODULEENTRY32 entry{};
  entry.dwSize = sizeof(MODULEENTRY32);
  entry.th32ModuleID = 1;
  entry.th32ProcessID = static_cast<DWORD>(getpid());
  entry.GlblcntUsage = 0xFFFF;
  entry.ProccntUsage = 0xFFFF;
  entry.modBaseAddr = reinterpret_cast<BYTE*>(module.base);
  entry.modBaseSize = static_cast<DWORD>(module.size);
  entry.hModule = reinterpret_cast<HMODULE>(module.base);
  const size_t slash = module.path.find_last_of('/');
  copy_truncated(entry.szModule, sizeof(entry.szModule),
                 slash == std::string::npos ? module.path : module.path.substr(slash + 1));
  copy_truncated(entry.szExePath, sizeof(entry.szExePath), module.path);
  return entry;
}

BOOL take_entry(HANDLE snapshot, LPMODULEENTRY32 entry, bool fromStart) {
  auto* modules = standin::detail::handle_object<ModuleSnapshot>(snapshot);
  if (modules == nullptr) return FALSE;
  if (entry == nullptr || entry->dwSize < sizeof(MODULEENTRY32)) {
    SetLastError(ERROR_BAD_LENGTH);
    return FALSE;
  }
  if (fromStart) modules->next = 0;
  if (modules->next >= modules->modules.size()) {
    SetLastError(ERROR_NO_MORE_FILES);
    return FALSE;
  }
  *entry = modules->modules[modules->next++];
  return TRUE;
}

}  // namespace

HANDLE WINAPI CreateToolhelp32Snapshot(DWORD flags, DWORD processId) {
  if ((flags & (TH32CS_SNAPMODULE | TH32CS_SNAPMODULE32)) == 0 ||
      (processId != 0 && processId != static_cast<DWORD>(getpid()))) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_HANDLE_VALUE;
  }
  auto snapshot = std::make_unique<ModuleSnapshot>();
  for (const auto& module : standin::detail::loaded_modules()) {
    snapshot->modules.push_back(entry_of(module));
  }
  return standin::detail::open_handle(std::move(snapshot));
}

BOOL WINAPI Module32First(HANDLE snapshot, LPMODULEENTRY32 entry) {
  return take_entry(snapshot, entry, true);
}

BOOL WINAPI Module32Next(HANDLE snapshot, LPMODULEENTRY32 entry) {
  return take_entry(snapshot, entry, false);
}

// The loaded objects from the dynamic linker's list, the executable's path from /proc/self/exe.
#include "loaded_modules.h"

#include <link.h>
#include <unistd.h>

#include <climits>

namespace standin::detail {

namespace {

int add_module(dl_phdr_info* info, size_t, void* data) {
  auto& modules = *static_cast<std::vector<loaded_module>*>(data);
  uintptr_t low = UINTPTR_MAX;
  uintptr_t high = 0;
  for (ElfW(Half) i = 0; i < info->dlpi_phnum; ++i) {
    const ElfW(Phdr)& header = info->dlpi_phdr[i];
    if (header.p_type != PT_LOAD) continue;
    const uintptr_t start = info->dlpi_addr + header.p_vaddr;
    if (start < low) low = start;
    if (start + header.p_memsz > high) high = start + header.p_memsz;
  }
  if (high <= low) return 0;
  const uintptr_t page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
  loaded_module module;
  module.base = low & ~(page - 1);
  module.size = ((high + page - 1) & ~(page - 1)) - module.base;
  // The executable is listed with an empty name.
  module.path = (info->dlpi_name != nullptr && info->dlpi_name[0] != '\0') ? info->dlpi_name
                                                                           : executable_path();
  modules.push_back(std::move(module));
  return 0;
}

}  // namespace

std::vector<loaded_module> loaded_modules() {
  std::vector<loaded_module> modules;
  dl_iterate_phdr(add_module, &modules);
  return modules;
}

std::string executable_path() {
  char path[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", path, sizeof(path));
  if (length <= 0 || static_cast<size_t>(length) >= sizeof(path)) return std::string();
  return std::string(path, static_cast<size_t>(length));
}

}  // namespace standin::detail

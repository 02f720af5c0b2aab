// The shared objects loaded in this process, as the module calls present them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace standin::detail {

/// One loaded object: the address range of its loaded segments and its file's path.
struct loaded_module {
  uintptr_t base = 0;
  size_t size = 0;
  std::string path;
};

/// The executable first, then every shared object in load order.
std::vector<loaded_module> loaded_modules();

/// The full path of this process's executable, or empty when it cannot be found.
std::string executable_path();

}  // namespace standin::detail

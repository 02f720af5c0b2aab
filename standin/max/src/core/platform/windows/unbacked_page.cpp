// The unbacked page on Windows: address space reserved and never committed.
#include "core/unbacked_page.h"

#include <windows.h>

namespace standin {

const void* unbackedPage() {
  static const void* const page = VirtualAlloc(nullptr, 4096, MEM_RESERVE, PAGE_NOACCESS);
  return page;
}

}  // namespace standin

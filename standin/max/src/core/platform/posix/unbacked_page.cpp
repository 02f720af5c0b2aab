// The unbacked page on POSIX: one page mapped from an empty memory file.
#include "core/unbacked_page.h"

#include <sys/mman.h>
#include <unistd.h>

namespace standin {

const void* unbackedPage() {
  static const void* const page = [] {
    const int fd = memfd_create("moonstone-in-page", 0);
    void* mapped =
        mmap(nullptr, static_cast<size_t>(sysconf(_SC_PAGESIZE)), PROT_READ, MAP_SHARED, fd, 0);
    close(fd);
    return mapped == MAP_FAILED ? nullptr : mapped;
  }();
  return page;
}

}  // namespace standin

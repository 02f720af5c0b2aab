// Test helper on POSIX: pages of generated code, and a way to run a fault in a forked child.
#pragma once

#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <functional>

namespace faults {

/// A page of generated code: an executable private mapping, freed with the object.
class CodePage {
 public:
  /// Maps two pages; the second one stays inaccessible, so that code placed at the end of the
  /// first runs into memory that cannot be read. A non-zero `at` asks for exactly that address.
  explicit CodePage(uintptr_t at = 0) {
    page_ = static_cast<size_t>(sysconf(_SC_PAGESIZE));
    const int fixed = at != 0 ? MAP_FIXED_NOREPLACE : 0;
    void* memory = mmap(reinterpret_cast<void*>(at), 2 * page_, PROT_READ | PROT_WRITE | PROT_EXEC,
                        MAP_PRIVATE | MAP_ANONYMOUS | fixed, -1, 0);
    if (memory == MAP_FAILED || (at != 0 && memory != reinterpret_cast<void*>(at))) {
      if (memory != MAP_FAILED) munmap(memory, 2 * page_);
      return;
    }
    memory_ = static_cast<unsigned char*>(memory);
    mprotect(memory_ + page_, page_, PROT_NONE);
  }
  ~CodePage() {
    if (memory_ != nullptr) munmap(memory_, 2 * page_);
  }
  CodePage(const CodePage&) = delete;
  CodePage& operator=(const CodePage&) = delete;

  bool mapped() const { return memory_ != nullptr; }

  /// Copies the code to the given offset of the first page and returns where it lies.
  unsigned char* place(const unsigned char* code, size_t size, size_t offset) {
    std::memcpy(memory_ + offset, code, size);
    return memory_ + offset;
  }
  /// Copies the code so that it ends exactly where the readable page ends.
  unsigned char* place_at_end(const unsigned char* code, size_t size) {
    return place(code, size, page_ - size);
  }

  /// Calls code placed in the page.
  static void call(const unsigned char* code) {
    reinterpret_cast<void (*)()>(reinterpret_cast<uintptr_t>(code))();
  }

 private:
  size_t page_ = 0;
  unsigned char* memory_ = nullptr;
};

/// x86-64 "mov byte ptr [0x10], al": writes to address 0x10.
constexpr unsigned char writeTo0x10[] = {0x88, 0x04, 0x25, 0x10, 0x00, 0x00, 0x00, 0xC3};
/// "ud2".
constexpr unsigned char undefinedInstruction[] = {0x0F, 0x0B};

/// Runs work in a forked child that then exits with 0, and returns the child's wait status.
inline int status_of_child(const std::function<void()>& work) {
  const pid_t child = fork();
  if (child == 0) {
    work();
    _exit(0);
  }
  int status = 0;
  waitpid(child, &status, 0);
  return status;
}

}  // namespace faults

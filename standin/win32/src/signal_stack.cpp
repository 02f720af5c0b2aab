// Alternate signal stacks: mapped once per thread, with a guard page below, swapped in per guard.
#include "signal_stack.h"

#include <sys/mman.h>
#include <unistd.h>

namespace standin::detail {

signal_stack::~signal_stack() {
  leave();
  if (memory_ != nullptr) munmap(memory_, mapped_);
}

void signal_stack::enter() {
  if (entered_) return;
  const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
  if (memory_ == nullptr) {
    void* memory =
        mmap(nullptr, size + page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (memory == MAP_FAILED) return;
    // The lowest page stays inaccessible so that a handler overrunning its stack faults at once.
    mprotect(memory, page, PROT_NONE);
    memory_ = memory;
    mapped_ = size + page;
  }
  stack_t ours{};
  ours.ss_sp = static_cast<char*>(memory_) + page;
  ours.ss_size = size;
  // Fails while the thread runs on its alternate stack (a guard opened inside a signal handler);
  // the stack in place then stays.
  entered_ = sigaltstack(&ours, &previous_) == 0;
}

void signal_stack::leave() {
  if (!entered_) return;
  sigaltstack(&previous_, nullptr);
  entered_ = false;
}

}  // namespace standin::detail

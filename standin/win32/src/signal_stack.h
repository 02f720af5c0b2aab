// A thread's alternate signal stack, so that a fault handler can run after a stack overflow.
#pragma once

#include <csignal>
#include <cstddef>

namespace standin::detail {

/// The calling thread's own alternate signal stack: put in place by enter(), and the stack that
/// was there before (a sanitizer's, the host's, or none) put back by leave(). The memory is kept
/// for the thread's next enter() and freed when the object goes (at the end of the thread).
class signal_stack {
 public:
  static constexpr size_t size = 256 * 1024;

  signal_stack() = default;
  ~signal_stack();
  signal_stack(const signal_stack&) = delete;
  signal_stack& operator=(const signal_stack&) = delete;

  void enter();
  void leave();

 private:
  void* memory_ = nullptr;
  size_t mapped_ = 0;
  stack_t previous_{};
  bool entered_ = false;
};

}  // namespace standin::detail

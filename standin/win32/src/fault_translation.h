// Turns a fault signal into the exception record and context that a fault filter receives.
#pragma once

#include "win32/exceptions.h"

#include <csignal>
#include <cstdint>

namespace standin::detail {

/// The addresses of a thread's stack: [low, high). A fault just below low is a stack overflow.
struct stack_range {
  uintptr_t low = 0;
  uintptr_t high = 0;
};

/// The stack of the calling thread, as the threads library knows it.
stack_range current_thread_stack();

/// The exception code of a fault signal; a SIGSEGV is a stack overflow when it hit the guard area
/// below the thread's stack (stackOverflow).
DWORD exception_code(int signo, int signalCode, bool stackOverflow);

/// Fills record and context from a fault signal delivered to the thread whose stack is given.
/// Async-signal-safe.
void translate_fault(int signo, const siginfo_t& info, const void* userContext,
                     const stack_range& stack, EXCEPTION_RECORD& record, CONTEXT& context);

/// Fills record and context for a C++ exception seen at the given code address, with the given
/// frame as the start of the frame-pointer chain.
void describe_language_exception(void* address, void* frame, EXCEPTION_RECORD& record,
                                 CONTEXT& context);

}  // namespace standin::detail

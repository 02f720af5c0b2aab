// The POSIX form of __try/__except: a guard that hands real hardware faults to a fault filter.
#pragma once

#include "win32/exceptions.h"

#include <optional>

namespace standin {

namespace detail {
std::optional<DWORD> seh_try(void (*body)(void*), void* bodyState,
                             int (*filter)(void*, EXCEPTION_POINTERS*), void* filterState);
}  // namespace detail

/// Runs body() on the calling thread as `__try { body(); } __except (filter(pointers)) {}` would.
///
/// A hardware fault (SIGSEGV, SIGBUS, SIGFPE, SIGILL raised by the processor) anywhere inside
/// body, however deep, is shown to the innermost active guard of this thread as an exception
/// record and context. When its filter returns EXCEPTION_EXECUTE_HANDLER, body is abandoned at
/// the fault (the frames in between are left without running their destructors, as with
/// __except) and seh_try returns the exception code. Otherwise the next outer guard of the thread
/// decides, and when no guard accepts, the fault goes to the handler that was installed before
/// the guards (by default the process dies with the signal).
///
/// A C++ exception leaving body is shown to the filter as code EXCEPTION_CPP_LANGUAGE; when the
/// filter declines it (the usual answer) it continues unchanged to the caller's handlers, when it
/// accepts it the exception is dropped and its code returned.
///
/// Returns std::nullopt when body returned normally. The filter runs on the faulting thread
/// inside the signal handler (on a 256 KiB alternate stack), with the fault signals blocked: a
/// fault inside the filter ends the process. Guards nest; threads have their own guards.
/// Signal handlers are installed only while a guard is active in the process and the ones found
/// are put back afterwards; meanwhile faults on threads without a guard reach them unchanged.
template <typename Body, typename Filter>
std::optional<DWORD> seh_try(Body&& body, Filter&& filter) {
  // Lambdas are objects whatever the callables are (functions, references, lambdas).
  auto run = [&body] { body(); };
  auto decide = [&filter](EXCEPTION_POINTERS* pointers) -> int { return filter(pointers); };
  return detail::seh_try([](void* state) { (*static_cast<decltype(run)*>(state))(); }, &run,
                         [](void* state, EXCEPTION_POINTERS* pointers) {
                           return (*static_cast<decltype(decide)*>(state))(pointers);
                         },
                         &decide);
}

}  // namespace standin

// Structured-exception guards on POSIX: a per-thread stack of guards fed by process-wide fault
// handlers.
#include "win32/seh_guard.h"

#include "fault_translation.h"
#include "signal_stack.h"

#include <setjmp.h>

#include <cerrno>
#include <csignal>
#include <mutex>

namespace standin::detail {

namespace {

constexpr int faultSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL};
constexpr int faultSignalCount = sizeof(faultSignals) / sizeof(faultSignals[0]);

struct Guard {
  sigjmp_buf resume;
  int (*filter)(void*, EXCEPTION_POINTERS*);
  void* filterState;
  Guard* outer;
  // Written by the signal handler before it jumps back into the guard.
  volatile DWORD code;
};

// The signal handler reads only the two plain thread-locals: they need no initialisation on first
// use, which could allocate on a thread that never opened a guard.
thread_local Guard* innermostGuard = nullptr;
thread_local stack_range threadStack;
thread_local bool threadStackKnown = false;
thread_local signal_stack alternateStack;

// The handlers that were in place when the first guard of the process opened; faults that no
// guard takes go on to them. Written under installMutex only while no guard is active.
std::mutex installMutex;
int activeGuards = 0;
struct sigaction previousHandlers[faultSignalCount];

void clear_alignment_check() {
#if defined(__x86_64__)
  asm volatile("pushfq\n\tandl $~0x40000, (%%rsp)\n\tpopfq" : : : "cc", "memory");
#elif defined(__i386__)
  asm volatile("pushfl\n\tandl $~0x40000, (%%esp)\n\tpopfl" : : : "cc", "memory");
#endif
}

int slot_of(int signo) {
  for (int i = 0; i < faultSignalCount; ++i) {
    if (faultSignals[i] == signo) return i;
  }
  return 0;
}

void set_default(int signo) {
  struct sigaction defaults {};
  defaults.sa_handler = SIG_DFL;
  sigemptyset(&defaults.sa_mask);
  sigaction(signo, &defaults, nullptr);
}

// Hands the signal to the handler that was there before the guards, as if they did not exist.
void pass_on(int signo, siginfo_t* info, void* userContext) {
  const struct sigaction& before = previousHandlers[slot_of(signo)];
  const bool sent = info->si_code <= 0;  // by kill() or raise(), not by a faulting instruction
  if (before.sa_flags & SA_SIGINFO) {
    if (before.sa_sigaction != nullptr) before.sa_sigaction(signo, info, userContext);
    return;
  }
  if (before.sa_handler == SIG_IGN && sent) return;
  if (before.sa_handler == SIG_DFL || before.sa_handler == SIG_IGN) {
    // A faulting instruction runs again when the handler returns and now meets the default
    // action; a sent signal has to be sent again.
    set_default(signo);
    if (sent) raise(signo);
    return;
  }
  before.sa_handler(signo);
}

void on_fault(int signo, siginfo_t* info, void* userContext) {
  // The kernel keeps the interrupted code's alignment-check flag for the handler: with it set,
  // the filter's own unaligned accesses (string copies, formatting) would fault again.
  clear_alignment_check();
  const int savedErrno = errno;
  Guard* const innermost = innermostGuard;
  if (innermost != nullptr && info->si_code > 0) {
    EXCEPTION_RECORD record;
    CONTEXT context;
    translate_fault(signo, *info, userContext, threadStack, record, context);
    EXCEPTION_POINTERS pointers{&record, &context};
    for (Guard* guard = innermost; guard != nullptr; guard = guard->outer) {
      // A guard's filter runs outside that guard, as __except filters do.
      innermostGuard = guard->outer;
      if (guard->filter(guard->filterState, &pointers) == EXCEPTION_EXECUTE_HANDLER) {
        innermostGuard = guard;
        guard->code = record.ExceptionCode;
        siglongjmp(guard->resume, 1);
      }
    }
    innermostGuard = innermost;
  }
  errno = savedErrno;
  pass_on(signo, info, userContext);
}

void install_handlers() {
  struct sigaction ours {};
  ours.sa_sigaction = on_fault;
  ours.sa_flags = SA_SIGINFO | SA_ONSTACK;
  // A fault inside a filter is not handled again: it ends the process.
  sigemptyset(&ours.sa_mask);
  for (int signo : faultSignals) sigaddset(&ours.sa_mask, signo);
  for (int i = 0; i < faultSignalCount; ++i) {
    sigaction(faultSignals[i], &ours, &previousHandlers[i]);
  }
}

void restore_handlers() {
  for (int i = 0; i < faultSignalCount; ++i) {
    struct sigaction current {};
    sigaction(faultSignals[i], nullptr, &current);
    // A handler that the host installed while guards were active stays.
    if ((current.sa_flags & SA_SIGINFO) && current.sa_sigaction == on_fault) {
      sigaction(faultSignals[i], &previousHandlers[i], nullptr);
    }
  }
}

// Held by the outermost guard of a thread: the process's fault handlers and the thread's
// alternate stack are in place while it lives.
class OutermostScope {
 public:
  OutermostScope() {
    if (!threadStackKnown) {
      threadStack = current_thread_stack();
      threadStackKnown = true;
    }
    alternateStack.enter();
    std::lock_guard<std::mutex> lock(installMutex);
    if (activeGuards++ == 0) install_handlers();
  }
  ~OutermostScope() {
    {
      std::lock_guard<std::mutex> lock(installMutex);
      if (--activeGuards == 0) restore_handlers();
    }
    alternateStack.leave();
  }
  OutermostScope(const OutermostScope&) = delete;
  OutermostScope& operator=(const OutermostScope&) = delete;
};

// Where a language exception is said to be raised: the catch site inside seh_try.
__attribute__((noinline)) void* caller_address() {
  return __builtin_return_address(0);
}

DWORD run_guard(Guard& guard, void (*body)(void*), void* bodyState, bool& faulted) {
  innermostGuard = &guard;
  if (sigsetjmp(guard.resume, 1) != 0) {
    faulted = true;
    return guard.code;
  }
  try {
    body(bodyState);
  } catch (...) {
    innermostGuard = guard.outer;
    EXCEPTION_RECORD record;
    CONTEXT context;
    describe_language_exception(caller_address(), __builtin_frame_address(0), record, context);
    EXCEPTION_POINTERS pointers{&record, &context};
    if (guard.filter(guard.filterState, &pointers) != EXCEPTION_EXECUTE_HANDLER) throw;
    faulted = true;
    return EXCEPTION_CPP_LANGUAGE;
  }
  innermostGuard = guard.outer;
  return 0;
}

}  // namespace

std::optional<DWORD> seh_try(void (*body)(void*), void* bodyState,
                             int (*filter)(void*, EXCEPTION_POINTERS*), void* filterState) {
  std::optional<OutermostScope> outermost;
  if (innermostGuard == nullptr) outermost.emplace();
  Guard guard;
  guard.filter = filter;
  guard.filterState = filterState;
  guard.outer = innermostGuard;
  guard.code = 0;
  bool faulted = false;
  const DWORD code = run_guard(guard, body, bodyState, faulted);
  innermostGuard = guard.outer;
  if (!faulted) return std::nullopt;
  return code;
}

}  // namespace standin::detail

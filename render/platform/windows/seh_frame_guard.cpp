// The guard on 32-bit x86 Windows, where the compiler has no __try/__except: a handler registered
// on the thread's chain of exception frames (FS:[0]) in the guarded call's own frame, as __try
// registers one, and a jump back into that frame when the filter accepts.
#include "render/seh_guard.h"

#include "render/platform/windows/fault_aftermath.h"

#include <intrin.h>

#if !defined(__i386__)
#error "The frame-registered guard is written for 32-bit x86"
#endif

namespace moonstone {

namespace {

// The callee-saved registers, the stack pointer and the instruction pointer of a resume point:
// everything that a return from captureResumePoint restores, in the order the assembly uses.
struct ResumePoint {
  DWORD ebx, esi, edi, ebp, esp, eip;
};

// One active guard. The registration comes first: the system hands its address to the handler
// as the establisher frame, and from it the handler finds the rest.
struct GuardFrame {
  EXCEPTION_REGISTRATION_RECORD registration;
  const FaultFilter* filter;
  ResumePoint resume;
  DWORD code;
};

extern "C" {
// Returns 0 when called; returns 1 a second time when jumpToResumePoint goes back to it.
__attribute__((returns_twice)) int moonstoneCaptureResumePoint(ResumePoint* point);
[[noreturn]] void moonstoneJumpToResumePoint(const ResumePoint* point);
}

asm(R"(
  .text
  .globl _moonstoneCaptureResumePoint
_moonstoneCaptureResumePoint:
  movl 4(%esp), %eax
  movl %ebx, 0(%eax)
  movl %esi, 4(%eax)
  movl %edi, 8(%eax)
  movl %ebp, 12(%eax)
  leal 4(%esp), %ecx
  movl %ecx, 16(%eax)
  movl (%esp), %ecx
  movl %ecx, 20(%eax)
  xorl %eax, %eax
  ret

  .globl _moonstoneJumpToResumePoint
_moonstoneJumpToResumePoint:
  movl 4(%esp), %eax
  movl 0(%eax), %ebx
  movl 4(%eax), %esi
  movl 8(%eax), %edi
  movl 12(%eax), %ebp
  movl 16(%eax), %esp
  movl 20(%eax), %ecx
  movl $1, %eax
  jmp *%ecx
)");

// C++ exceptions of this toolchain unwind by tables and never enter the chain of exception
// frames. The guard shows them to the filter under the code with which the 64-bit mingw runtime
// raises them, "GCC ", which the filter declines.
constexpr DWORD languageExceptionCode = 0x20474343;

// Set while a filter of this thread runs: a fault inside a filter is trapped by no guard.
thread_local bool filtering = false;

int decide(const FaultFilter& filter, EXCEPTION_POINTERS* pointers) {
  filtering = true;
  const int decision = filter(pointers);
  filtering = false;
  return decision;
}

EXCEPTION_REGISTRATION_RECORD* chainHead() {
  return reinterpret_cast<EXCEPTION_REGISTRATION_RECORD*>(__readfsdword(0));
}

void setChainHead(EXCEPTION_REGISTRATION_RECORD* head) {
  __writefsdword(0, reinterpret_cast<DWORD>(head));
}

// Called by the system's dispatcher for an exception that the frames inside the guarded call
// left unhandled, and again with the unwinding flag while an outer handler unwinds past it.
EXCEPTION_DISPOSITION NTAPI guardHandler(EXCEPTION_RECORD* record, void* establisher,
                                         CONTEXT* context, void*) {
  auto* guard = static_cast<GuardFrame*>(establisher);
  if ((record->ExceptionFlags & (EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND)) != 0 || filtering) {
    return ExceptionContinueSearch;
  }
  EXCEPTION_POINTERS pointers{record, context};
  const int decision = decide(*guard->filter, &pointers);
  if (decision == EXCEPTION_CONTINUE_EXECUTION) return ExceptionContinueExecution;
  if (decision != EXCEPTION_EXECUTE_HANDLER) return ExceptionContinueSearch;
  guard->code = record->ExceptionCode;
  // As __except does: the handlers that frames between the guard and the fault registered run
  // their unwinding (their cleanup) first and leave the chain; then the guard's own registration
  // goes, and the call resumes in the guard's frame. The jump leaves the dispatcher's frames
  // behind as the jump into an __except block does.
  RtlUnwind(&guard->registration, nullptr, record, nullptr);
  setChainHead(guard->registration.Next);
  moonstoneJumpToResumePoint(&guard->resume);
}

// A C++ exception leaving the guarded call: shown to the filter, then passed on unless it was
// accepted (then dropped, as __except drops what it accepts). Returns whether it was accepted.
__attribute__((noinline)) bool offerLanguageException(const FaultFilter& filter) {
  EXCEPTION_RECORD record{};
  record.ExceptionCode = languageExceptionCode;
  record.ExceptionFlags = EXCEPTION_NONCONTINUABLE;
  record.ExceptionAddress = __builtin_return_address(0);
  CONTEXT context{};
  context.ContextFlags = CONTEXT_FULL;
  RtlCaptureContext(&context);
  EXCEPTION_POINTERS pointers{&record, &context};
  return decide(filter, &pointers) == EXCEPTION_EXECUTE_HANDLER;
}

}  // namespace

bool runGuarded(const std::function<void()>& work, const FaultFilter& filter, DWORD& code) {
  GuardFrame guard{};
  guard.registration.Handler = guardHandler;
  guard.filter = &filter;
  const FloatControl saved = saveFloatControl();
  reserveStackForOverflowHandling();
  guard.registration.Next = chainHead();
  if (moonstoneCaptureResumePoint(&guard.resume) != 0) {
    // Back from a trapped fault: the handler has restored the chain as it was at entry.
    afterFault(guard.code, saved);
    code = guard.code;
    return false;
  }
  setChainHead(&guard.registration);
  try {
    work();
  } catch (...) {
    setChainHead(guard.registration.Next);
    if (!offerLanguageException(filter)) throw;
    code = languageExceptionCode;
    return false;
  }
  setChainHead(guard.registration.Next);
  return true;
}

}  // namespace moonstone

// Fault signals as structured exceptions: signal and signal code to exception code, registers to
// CONTEXT.
#include "fault_translation.h"

#include <pthread.h>
#include <ucontext.h>
#include <unistd.h>

namespace standin::detail {

namespace {

// The kernel leaves a gap of up to 1 MiB below a growing stack, and a frame larger than a page
// may skip the guard page entirely: a fault this far below the stack still counts as overflow.
constexpr uintptr_t stackGuardReach = 1024 * 1024;

// Bits of the x86 page-fault error code.
constexpr unsigned long pageFaultWrite = 0x2;
constexpr unsigned long pageFaultFetch = 0x10;

bool hits_stack_guard(uintptr_t address, const stack_range& stack) {
  if (stack.low == 0) return false;
  const uintptr_t page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
  const uintptr_t bottom = stack.low > stackGuardReach ? stack.low - stackGuardReach : 0;
  return address >= bottom && address < stack.low + page;
}

DWORD fpe_code(int signalCode) {
  switch (signalCode) {
    case FPE_INTDIV:
      return EXCEPTION_INT_DIVIDE_BY_ZERO;
    case FPE_INTOVF:
      return EXCEPTION_INT_OVERFLOW;
    case FPE_FLTDIV:
      return EXCEPTION_FLT_DIVIDE_BY_ZERO;
    case FPE_FLTOVF:
      return EXCEPTION_FLT_OVERFLOW;
    case FPE_FLTUND:
      return EXCEPTION_FLT_UNDERFLOW;
    case FPE_FLTRES:
      return EXCEPTION_FLT_INEXACT_RESULT;
    case FPE_FLTSUB:
      return EXCEPTION_ARRAY_BOUNDS_EXCEEDED;
    default:
      return EXCEPTION_FLT_INVALID_OPERATION;
  }
}

// Floating-point status: the unmasked exceptions the faulting instruction raised. The kernel
// names a denormal operand an underflow and an x87 register-stack fault an invalid operation;
// the status words tell them apart.
constexpr unsigned sseDenormal = 0x02;
constexpr unsigned sseUnderflow = 0x10;
constexpr unsigned x87Invalid = 0x01;  // also the invalid-operation bit of MXCSR
constexpr unsigned x87StackFault = 0x40;

DWORD refine_float_code(DWORD code, const mcontext_t& machine) {
#if defined(__x86_64__)
  if (machine.fpregs == nullptr) return code;
  const unsigned mxcsr = machine.fpregs->mxcsr;
  const unsigned sseRaised = mxcsr & ~(mxcsr >> 7) & 0x3F;
  const unsigned x87Raised = machine.fpregs->swd & ~machine.fpregs->cwd & 0x3F;
  if (code == EXCEPTION_FLT_UNDERFLOW && (sseRaised & sseDenormal) && !(sseRaised & sseUnderflow)) {
    return EXCEPTION_FLT_DENORMAL_OPERAND;
  }
  if (code == EXCEPTION_FLT_INVALID_OPERATION && !(sseRaised & x87Invalid) &&
      (x87Raised & x87Invalid) && (machine.fpregs->swd & x87StackFault)) {
    return EXCEPTION_FLT_STACK_CHECK;
  }
#else
  (void)machine;
#endif
  return code;
}

// 0 read, 1 write, 8 instruction fetch, as Windows reports the kind of a faulting access.
ULONG_PTR access_kind(unsigned long errorCode) {
  if (errorCode & pageFaultFetch) return 8;
  return (errorCode & pageFaultWrite) ? 1 : 0;
}

void copy_registers(const mcontext_t& machine, CONTEXT& context) {
  const auto& r = machine.gregs;
  context.ContextFlags = CONTEXT_INTEGER | CONTEXT_CONTROL;
#if defined(__x86_64__)
  context.Rax = static_cast<ULONG_PTR>(r[REG_RAX]);
  context.Rcx = static_cast<ULONG_PTR>(r[REG_RCX]);
  context.Rdx = static_cast<ULONG_PTR>(r[REG_RDX]);
  context.Rbx = static_cast<ULONG_PTR>(r[REG_RBX]);
  context.Rsp = static_cast<ULONG_PTR>(r[REG_RSP]);
  context.Rbp = static_cast<ULONG_PTR>(r[REG_RBP]);
  context.Rsi = static_cast<ULONG_PTR>(r[REG_RSI]);
  context.Rdi = static_cast<ULONG_PTR>(r[REG_RDI]);
  context.R8 = static_cast<ULONG_PTR>(r[REG_R8]);
  context.R9 = static_cast<ULONG_PTR>(r[REG_R9]);
  context.R10 = static_cast<ULONG_PTR>(r[REG_R10]);
  context.R11 = static_cast<ULONG_PTR>(r[REG_R11]);
  context.R12 = static_cast<ULONG_PTR>(r[REG_R12]);
  context.R13 = static_cast<ULONG_PTR>(r[REG_R13]);
  context.R14 = static_cast<ULONG_PTR>(r[REG_R14]);
  context.R15 = static_cast<ULONG_PTR>(r[REG_R15]);
  context.Rip = static_cast<ULONG_PTR>(r[REG_RIP]);
  context.EFlags = static_cast<DWORD>(r[REG_EFL]);
#else
  context.Edi = static_cast<DWORD>(r[REG_EDI]);
  context.Esi = static_cast<DWORD>(r[REG_ESI]);
  context.Ebx = static_cast<DWORD>(r[REG_EBX]);
  context.Edx = static_cast<DWORD>(r[REG_EDX]);
  context.Ecx = static_cast<DWORD>(r[REG_ECX]);
  context.Eax = static_cast<DWORD>(r[REG_EAX]);
  context.Ebp = static_cast<DWORD>(r[REG_EBP]);
  context.Eip = static_cast<DWORD>(r[REG_EIP]);
  context.EFlags = static_cast<DWORD>(r[REG_EFL]);
  context.Esp = static_cast<DWORD>(r[REG_ESP]);
#endif
}

ULONG_PTR instruction_pointer(const mcontext_t& machine) {
#if defined(__x86_64__)
  return static_cast<ULONG_PTR>(machine.gregs[REG_RIP]);
#else
  return static_cast<ULONG_PTR>(machine.gregs[REG_EIP]);
#endif
}

}  // namespace

stack_range current_thread_stack() {
  stack_range range;
  pthread_attr_t attributes;
  if (pthread_getattr_np(pthread_self(), &attributes) != 0) return range;
  void* low = nullptr;
  size_t size = 0;
  if (pthread_attr_getstack(&attributes, &low, &size) == 0) {
    range.low = reinterpret_cast<uintptr_t>(low);
    range.high = range.low + size;
  }
  pthread_attr_destroy(&attributes);
  return range;
}

DWORD exception_code(int signo, int signalCode, bool stackOverflow) {
  switch (signo) {
    case SIGSEGV:
      return stackOverflow ? EXCEPTION_STACK_OVERFLOW : EXCEPTION_ACCESS_VIOLATION;
    case SIGBUS:
      return signalCode == BUS_ADRALN ? EXCEPTION_DATATYPE_MISALIGNMENT : EXCEPTION_IN_PAGE_ERROR;
    case SIGILL:
      return (signalCode == ILL_PRVOPC || signalCode == ILL_PRVREG) ? EXCEPTION_PRIV_INSTRUCTION
                                                                    : EXCEPTION_ILLEGAL_INSTRUCTION;
    default:
      return fpe_code(signalCode);
  }
}

void translate_fault(int signo, const siginfo_t& info, const void* userContext,
                     const stack_range& stack, EXCEPTION_RECORD& record, CONTEXT& context) {
  const mcontext_t& machine = static_cast<const ucontext_t*>(userContext)->uc_mcontext;
  const auto address = reinterpret_cast<uintptr_t>(info.si_addr);
  record = EXCEPTION_RECORD{};
  context = CONTEXT{};
  record.ExceptionCode =
      exception_code(signo, info.si_code, signo == SIGSEGV && hits_stack_guard(address, stack));
  if (signo == SIGFPE) record.ExceptionCode = refine_float_code(record.ExceptionCode, machine);
  record.ExceptionFlags = EXCEPTION_NONCONTINUABLE;
  record.ExceptionAddress = reinterpret_cast<PVOID>(instruction_pointer(machine));
  if (signo == SIGSEGV || (signo == SIGBUS && info.si_code != BUS_ADRALN)) {
    record.NumberParameters = 2;
    record.ExceptionInformation[0] =
        access_kind(static_cast<unsigned long>(machine.gregs[REG_ERR]));
    record.ExceptionInformation[1] = address;
  }
  copy_registers(machine, context);
}

void describe_language_exception(void* address, void* frame, EXCEPTION_RECORD& record,
                                 CONTEXT& context) {
  record = EXCEPTION_RECORD{};
  context = CONTEXT{};
  record.ExceptionCode = EXCEPTION_CPP_LANGUAGE;
  record.ExceptionFlags = EXCEPTION_NONCONTINUABLE;
  record.ExceptionAddress = address;
  context.ContextFlags = CONTEXT_CONTROL;
#if defined(__x86_64__)
  context.Rip = reinterpret_cast<ULONG_PTR>(address);
  context.Rbp = reinterpret_cast<ULONG_PTR>(frame);
#else
  context.Eip = reinterpret_cast<ULONG_PTR>(address);
  context.Ebp = reinterpret_cast<ULONG_PTR>(frame);
#endif
}

}  // namespace standin::detail

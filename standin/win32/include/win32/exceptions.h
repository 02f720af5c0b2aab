// Structured exceptions as a fault filter sees them: codes, the exception record, the thread
// context.
#pragma once

#include "win32/base_types.h"

#define EXCEPTION_ACCESS_VIOLATION 0xC0000005u
#define EXCEPTION_DATATYPE_MISALIGNMENT 0x80000002u
#define EXCEPTION_ARRAY_BOUNDS_EXCEEDED 0xC000008Cu
#define EXCEPTION_FLT_DENORMAL_OPERAND 0xC000008Du
#define EXCEPTION_FLT_DIVIDE_BY_ZERO 0xC000008Eu
#define EXCEPTION_FLT_INEXACT_RESULT 0xC000008Fu
#define EXCEPTION_FLT_INVALID_OPERATION 0xC0000090u
#define EXCEPTION_FLT_OVERFLOW 0xC0000091u
#define EXCEPTION_FLT_STACK_CHECK 0xC0000092u
#define EXCEPTION_FLT_UNDERFLOW 0xC0000093u
#define EXCEPTION_ILLEGAL_INSTRUCTION 0xC000001Du
#define EXCEPTION_IN_PAGE_ERROR 0xC0000006u
#define EXCEPTION_INT_DIVIDE_BY_ZERO 0xC0000094u
#define EXCEPTION_INT_OVERFLOW 0xC0000095u
#define EXCEPTION_PRIV_INSTRUCTION 0xC0000096u
#define EXCEPTION_STACK_OVERFLOW 0xC00000FDu
/// The code under which a C++ exception travels as a structured exception ("msc" in ASCII).
#define EXCEPTION_CPP_LANGUAGE 0xE06D7363u

#define EXCEPTION_NONCONTINUABLE 0x1u
#define EXCEPTION_MAXIMUM_PARAMETERS 15

/// What a fault filter answers: run the guard's handler, or let the next outer guard decide.
#define EXCEPTION_EXECUTE_HANDLER 1
#define EXCEPTION_CONTINUE_SEARCH 0

/// One structured exception. For access violations and in-page errors ExceptionInformation[0]
/// is 0 for a read, 1 for a write and 8 for an instruction fetch, and [1] the address accessed.
struct EXCEPTION_RECORD {
  DWORD ExceptionCode;
  DWORD ExceptionFlags;
  EXCEPTION_RECORD* ExceptionRecord;
  PVOID ExceptionAddress;
  DWORD NumberParameters;
  ULONG_PTR ExceptionInformation[EXCEPTION_MAXIMUM_PARAMETERS];
};
typedef EXCEPTION_RECORD* PEXCEPTION_RECORD;

#define CONTEXT_INTEGER 0x2u
#define CONTEXT_CONTROL 0x1u

/// The faulting thread's integer and control registers (floating-point state is not captured).
#if defined(__x86_64__)
struct CONTEXT {
  DWORD ContextFlags;
  ULONG_PTR Rax, Rcx, Rdx, Rbx, Rsp, Rbp, Rsi, Rdi;
  ULONG_PTR R8, R9, R10, R11, R12, R13, R14, R15;
  ULONG_PTR Rip;
  DWORD EFlags;
};
#elif defined(__i386__)
struct CONTEXT {
  DWORD ContextFlags;
  DWORD Edi, Esi, Ebx, Edx, Ecx, Eax;
  DWORD Ebp, Eip, EFlags, Esp;
};
#else
#error "The structured-exception stand-in knows the registers of x86 and x86-64 only."
#endif
typedef CONTEXT* PCONTEXT;

/// What a fault filter receives (GetExceptionInformation()).
struct EXCEPTION_POINTERS {
  PEXCEPTION_RECORD ExceptionRecord;
  PCONTEXT ContextRecord;
};
typedef EXCEPTION_POINTERS* PEXCEPTION_POINTERS;

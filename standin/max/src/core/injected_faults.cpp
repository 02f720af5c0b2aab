// Real processor faults, written in assembly so that neither the optimiser nor the sanitizers of an
// instrumented build get in their way: the processor itself raises each of them.
#include "core/injected_faults.h"

#include "core/unbacked_page.h"

#include <climits>
#include <cstdint>
#include <utility>

namespace standin {

namespace {

const std::pair<const char*, ProcessorFault> faultNames[] = {
    {"access_violation", ProcessorFault::AccessViolation},
    {"divide_by_zero", ProcessorFault::IntegerDivideByZero},
    {"integer_overflow", ProcessorFault::IntegerOverflow},
    {"illegal_instruction", ProcessorFault::IllegalInstruction},
    {"privileged_instruction", ProcessorFault::PrivilegedInstruction},
    {"stack_overflow", ProcessorFault::StackOverflow},
    {"in_page_error", ProcessorFault::InPageError},
    {"misalignment", ProcessorFault::DatatypeMisalignment},
    {"array_bounds", ProcessorFault::ArrayBoundsExceeded},
    {"float_divide_by_zero", ProcessorFault::FloatDivideByZero},
    {"float_overflow", ProcessorFault::FloatOverflow},
    {"float_underflow", ProcessorFault::FloatUnderflow},
    {"float_inexact", ProcessorFault::FloatInexactResult},
    {"float_invalid", ProcessorFault::FloatInvalidOperation},
    {"float_denormal", ProcessorFault::FloatDenormalOperand},
    {"float_stack_check", ProcessorFault::FloatStackCheck},
};

// Masks of the floating-point traps in MXCSR (bits 7..12).
constexpr unsigned maskInvalid = 0x0080;
constexpr unsigned maskDenormal = 0x0100;
constexpr unsigned maskDivideByZero = 0x0200;
constexpr unsigned maskOverflow = 0x0400;
constexpr unsigned maskUnderflow = 0x0800;
constexpr unsigned maskInexact = 0x1000;

__attribute__((noinline)) void writeNull() {
  asm volatile("movb $1, (%0)" : : "r"(uintptr_t{0}) : "memory");
}

__attribute__((noinline)) int divide(int value, int divisor) {
  asm volatile("cltd\n\tidivl %1" : "+a"(value) : "r"(divisor) : "edx", "cc");
  return value;
}

__attribute__((noinline)) void undefinedInstruction() {
  asm volatile("ud2");
}

__attribute__((noinline)) void haltInstruction() {
  asm volatile("hlt");
}

volatile bool stopRecursing = false;

__attribute__((noinline, no_sanitize("address"))) int recurse(int depth) {
  volatile char frame[512];
  frame[0] = static_cast<char>(depth);
  if (stopRecursing) return 0;
  return recurse(depth + 1) + frame[0];
}

__attribute__((noinline)) int readAt(const void* address) {
  int value;
  asm volatile("movl (%1), %0" : "=r"(value) : "r"(address) : "memory");
  return value;
}

// Switches the flags' alignment check on, reads 4 bytes one byte past an aligned address, and
// switches it off again when no fault came.
__attribute__((noinline)) void misalignedRead() {
  alignas(16) static char buffer[16];
  uintptr_t flags;
  asm volatile(
      "pushf\n\tpop %0\n\tor $0x40000, %0\n\tpush %0\n\tpopf\n\t"
      "movl 1(%1), %%eax\n\t"
      "pushf\n\tpop %0\n\tand $~0x40000, %0\n\tpush %0\n\tpopf"
      : "=&r"(flags)
      : "r"(buffer)
      : "eax", "cc", "memory");
}

// BOUND with a value above the upper bound of its pair: an array-bounds fault in 32-bit mode. The
// bytes are "bound %eax, (%esi)"; 64-bit mode has no BOUND, and there the same bytes are an
// invalid instruction prefix, so the processor raises an undefined-instruction fault instead.
__attribute__((noinline)) void boundCheck() {
  static const int32_t bounds[2] = {0, 1};
  asm volatile(".byte 0x62, 0x06" : : "a"(2), "S"(bounds) : "memory");
}

#if defined(__i386__)
// Runs one x87 operation on a and b with the given trap unmasked (the mask bits sit in the x87
// control word as in MXCSR, seven places lower), storing the result as a double, so that overflow
// and underflow happen at the store as they do in 32-bit code, which computes in x87 registers.
// The pending trap is raised at the store; the control word is put back when no fault came.
__attribute__((noinline)) void floatFault(unsigned unmask, double a, double b, bool multiply) {
  unsigned short control;
  asm volatile("fnstcw %0" : "=m"(control));
  const auto trapping = static_cast<unsigned short>(control & ~(unmask >> 7));
  double result;
  if (multiply) {
    asm volatile("fnclex\n\tfldcw %1\n\tfldl %2\n\tfmull %3\n\tfstpl %0\n\tfwait\n\tfldcw %4"
                 : "=m"(result)
                 : "m"(trapping), "m"(a), "m"(b), "m"(control)
                 : "memory", "st");
  } else {
    asm volatile("fnclex\n\tfldcw %1\n\tfldl %2\n\tfdivl %3\n\tfstpl %0\n\tfwait\n\tfldcw %4"
                 : "=m"(result)
                 : "m"(trapping), "m"(a), "m"(b), "m"(control)
                 : "memory", "st");
  }
}
#else
// The exception flags of MXCSR (bits 0..5).
constexpr unsigned mxcsrFlags = 0x3F;

// Runs one SSE operation on a and b with the given trap unmasked (the flags cleared first), then
// puts MXCSR back when no fault came.
__attribute__((noinline)) void floatFault(unsigned unmask, double a, double b, bool multiply) {
  unsigned saved;
  asm volatile("stmxcsr %0" : "=m"(saved));
  unsigned trapping = (saved & ~mxcsrFlags) & ~unmask;
  if (multiply) {
    asm volatile("ldmxcsr %1\n\tmulsd %2, %0\n\tldmxcsr %3"
                 : "+x"(a)
                 : "m"(trapping), "x"(b), "m"(saved));
  } else {
    asm volatile("ldmxcsr %1\n\tdivsd %2, %0\n\tldmxcsr %3"
                 : "+x"(a)
                 : "m"(trapping), "x"(b), "m"(saved));
  }
}
#endif

// Unmasks the x87 invalid-operation trap and pushes nine values onto the eight registers.
__attribute__((noinline)) void x87StackOverflow() {
  unsigned short control;
  asm volatile("fnstcw %0" : "=m"(control));
  const auto trapping = static_cast<unsigned short>(control & ~1u);
  asm volatile(
      "fldcw %0\n\t"
      "fld1\n\tfld1\n\tfld1\n\tfld1\n\tfld1\n\tfld1\n\tfld1\n\tfld1\n\tfld1\n\tfwait\n\t"
      "fninit\n\tfldcw %1"
      :
      : "m"(trapping), "m"(control)
      : "memory", "st", "st(1)", "st(2)", "st(3)", "st(4)", "st(5)", "st(6)", "st(7)");
}

}  // namespace

std::optional<ProcessorFault> processorFaultNamed(const std::string& name) {
  for (const auto& [known, fault] : faultNames) {
    if (name == known) return fault;
  }
  return std::nullopt;
}

void raiseFault(ProcessorFault fault) {
  switch (fault) {
    case ProcessorFault::AccessViolation:
      writeNull();
      break;
    case ProcessorFault::IntegerDivideByZero:
      divide(1, 0);
      break;
    case ProcessorFault::IntegerOverflow:
      divide(INT_MIN, -1);
      break;
    case ProcessorFault::IllegalInstruction:
      undefinedInstruction();
      break;
    case ProcessorFault::PrivilegedInstruction:
      haltInstruction();
      break;
    case ProcessorFault::StackOverflow:
      recurse(0);
      break;
    case ProcessorFault::InPageError:
      readAt(unbackedPage());
      break;
    case ProcessorFault::DatatypeMisalignment:
      misalignedRead();
      break;
    case ProcessorFault::ArrayBoundsExceeded:
      boundCheck();
      break;
    case ProcessorFault::FloatDivideByZero:
      floatFault(maskDivideByZero, 1.0, 0.0, false);
      break;
    case ProcessorFault::FloatOverflow:
      floatFault(maskOverflow, 1e308, 1e308, true);
      break;
    case ProcessorFault::FloatUnderflow:
      floatFault(maskUnderflow, 1e-308, 1e-308, true);
      break;
    case ProcessorFault::FloatInexactResult:
      floatFault(maskInexact, 1.0, 3.0, false);
      break;
    case ProcessorFault::FloatInvalidOperation:
      floatFault(maskInvalid, 0.0, 0.0, false);
      break;
    case ProcessorFault::FloatDenormalOperand:
      floatFault(maskDenormal, 1e-310, 1.0, true);
      break;
    case ProcessorFault::FloatStackCheck:
      x87StackOverflow();
      break;
  }
}

}  // namespace standin

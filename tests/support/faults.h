// Test helper: real hardware faults the optimiser cannot remove.
#pragma once

#include <cstdint>

namespace faults {

// The faults are written in assembly so that neither the optimiser nor the undefined-behaviour
// checks of an instrumented build get in their way.

/// Reads 4 bytes at address.
__attribute__((noinline)) inline int read_at(uintptr_t address) {
  int value;
  asm volatile("movl (%1), %0" : "=r"(value) : "r"(address) : "memory");
  return value;
}

/// Writes one byte at address.
__attribute__((noinline)) inline void write_at(uintptr_t address) {
  asm volatile("movb $1, (%0)" : : "r"(address) : "memory");
}

/// Integer division in the processor, so that a zero divisor faults.
__attribute__((noinline)) inline int divide(int value, int divisor) {
  asm volatile("cltd\n\tidivl %1" : "+a"(value) : "r"(divisor) : "edx", "cc");
  return value;
}

/// An undefined instruction.
__attribute__((noinline)) inline void illegal_instruction() {
  asm volatile("ud2");
}

inline volatile bool neverStop = false;
inline const int x87Divisor = 3;

/// Recurses until the stack is gone.
__attribute__((noinline)) inline int recurse(int depth) {
  volatile char frame[512];
  frame[0] = static_cast<char>(depth);
  if (neverStop) return 0;
  return recurse(depth + 1) + frame[0];
}

/// Unmasks the SSE inexact-result trap and divides 1 by 3; the trap stays unmasked.
__attribute__((noinline)) inline void unmasked_inexact_division() {
  unsigned control;
  asm volatile("stmxcsr %0" : "=m"(control));
  const unsigned trapping = (control & ~0x3Fu) & ~0x1000u;
  double value = 1.0;
  const double three = 3.0;
  asm volatile("ldmxcsr %1\n\tdivsd %2, %0" : "+x"(value) : "m"(trapping), "x"(three));
}

/// Unmasks the x87 precision trap and divides 1 by 3; the fault arrives at the next x87
/// instruction, and the trap stays unmasked.
__attribute__((noinline)) inline void unmasked_x87_inexact_division() {
  unsigned short control;
  asm volatile("fnstcw %0" : "=m"(control));
  const unsigned short trapping = control & ~0x20u;
  asm volatile("fldcw %0\n\tfld1\n\tfidivl %1\n\tfwait\n\tfstp %%st(0)"
               :
               : "m"(trapping), "m"(x87Divisor)
               : "memory");
}

/// Unmasks the x87 invalid-operation trap and pushes nine values onto its eight registers; the
/// trap stays unmasked and the register stack full.
__attribute__((noinline)) inline void x87_stack_overflow() {
  unsigned short control;
  asm volatile("fnstcw %0" : "=m"(control));
  const unsigned short trapping = control & ~1u;
  asm volatile(
      "fldcw %0\n\t"
      "fld1\n\tfld1\n\tfld1\n\tfld1\n\tfld1\n\tfld1\n\tfld1\n\tfld1\n\tfld1\n\tfwait"
      :
      : "m"(trapping)
      : "memory");
}

}  // namespace faults

// The faults as Windows raises them, in the names Wine gives them (docs/windows.md has the table
// and what only real Windows can show).
#include "e2e/fault_matrix/injected_faults.h"

namespace {

// 32-bit code computes in the x87 unit, and 32-bit mode has the BOUND instruction.
constexpr bool x86_32 = sizeof(void*) == 4;

// A process that an exception ends exits with the exception's code.
constexpr int endedBy(unsigned code) {
  return static_cast<int>(code);
}
constexpr int floatUnderflowCode = endedBy(0xC0000093u);

}  // namespace

// Alignment checks are off, so "misalignment" raises nothing here: its frame renders. Wine reports
// the overflow of a division as a division by zero (real Windows may name it Integer Overflow).
const std::vector<InjectedFault>& trappedFaults() {
  static const std::vector<InjectedFault> faults = [] {
    std::vector<InjectedFault> table = {
        {"access_violation", "Access Violation", "C0000005"},
        {"stack_overflow", "Stack Overflow", "C00000FD", true},
        {"illegal_instruction", "Illegal Instruction", "C000001D"},
        {"divide_by_zero", "Integer Divide By Zero", "C0000094"},
        {"integer_overflow", "Integer Divide By Zero", "C0000094"},
        {"privileged_instruction", "Privileged Instruction", "C0000096"},
        // Windows cannot map an empty file: the in-page fault reads reserved, uncommitted memory.
        {"in_page_error", "Access Violation", "C0000005"},
        {"float_divide_by_zero", "Float Divide By Zero", "C000008E"},
        {"float_overflow", "Float Overflow", "C0000091"},
        {"float_inexact", "Float Inexact Result", "C000008F"},
        {"float_invalid", "Float Invalid Operation", "C0000090"},
        {"float_stack_check", "Float Stack Check", "C0000092"},
    };
    if (x86_32) {
      table.push_back({"array_bounds", "Array Bounds Exceeded", "C000008C"});
      table.push_back({"float_denormal", "Float Denormal Operand", "C000008D"});
    } else {
      // 64-bit mode has no BOUND: its bytes are an undefined instruction.
      table.push_back({"array_bounds", "Illegal Instruction", "C000001D"});
    }
    return table;
  }();
  return faults;
}

// On 64-bit, Wine reports an SSE denormal operand as a float underflow, which the filter declines.
const std::vector<HostEndingFault>& hostEndingFaults() {
  static const std::vector<HostEndingFault> faults = [] {
    std::vector<HostEndingFault> table = {{"float_underflow", floatUnderflowCode}};
    if (!x86_32) table.push_back({"float_denormal", floatUnderflowCode});
    return table;
  }();
  return faults;
}

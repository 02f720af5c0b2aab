// The faults as Linux raises them: signals that the stand-in turns into structured exceptions.
#include "e2e/fault_matrix/injected_faults.h"

// Three codes that the fault filter accepts cannot be raised on x86-64 Linux at all: Array Bounds
// Exceeded (the BOUND instruction does not exist in 64-bit mode: its bytes are an undefined
// instruction), Integer Overflow (INTO does not exist either; a division's overflow is a division
// fault) and Privileged Instruction (the kernel reports a privileged instruction as a
// general-protection fault, a SIGSEGV). The three kinds that try them are in the table with the
// code that really arrives.
const std::vector<InjectedFault>& trappedFaults() {
  static const std::vector<InjectedFault> faults = {
      {"access_violation", "Access Violation", "C0000005"},
      {"stack_overflow", "Stack Overflow", "C00000FD"},
      {"illegal_instruction", "Illegal Instruction", "C000001D"},
      {"divide_by_zero", "Integer Divide By Zero", "C0000094"},
      {"integer_overflow", "Integer Divide By Zero", "C0000094"},
      {"privileged_instruction", "Access Violation", "C0000005"},
      {"in_page_error", "In Page Error", "C0000006"},
      {"misalignment", "Datatype Misalignment", "80000002"},
      {"array_bounds", "Illegal Instruction", "C000001D"},
      {"float_divide_by_zero", "Float Divide By Zero", "C000008E"},
      {"float_overflow", "Float Overflow", "C0000091"},
      {"float_inexact", "Float Inexact Result", "C000008F"},
      {"float_invalid", "Float Invalid Operation", "C0000090"},
      {"float_denormal", "Float Denormal Operand", "C000008D"},
      {"float_stack_check", "Float Stack Check", "C0000092"},
  };
  return faults;
}

// A declined SIGFPE kills maxsim: no exit status.
const std::vector<HostEndingFault>& hostEndingFaults() {
  static const std::vector<HostEndingFault> faults = {{"float_underflow", -1}};
  return faults;
}

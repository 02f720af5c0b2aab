// Real processor faults that a scene injects into the host, for testing the fault traps.
#pragma once

#include <optional>
#include <string>

namespace standin {

/// A fault the processor raises in the host. Some have no way to happen on every processor and
/// system; injected there they give what the processor really raises instead (see raiseFault).
enum class ProcessorFault {
  AccessViolation,        // a write through a null pointer
  IntegerDivideByZero,    // an integer division by zero
  IntegerOverflow,        // the most negative int divided by -1
  IllegalInstruction,     // an undefined instruction
  PrivilegedInstruction,  // an instruction only the system may run (hlt)
  StackOverflow,          // recursion until the stack is gone
  InPageError,            // a read of a mapped file's page that has nothing behind it
  DatatypeMisalignment,   // a misaligned read with alignment checking switched on
  ArrayBoundsExceeded,    // BOUND with an index outside its bounds (32-bit x86 only)
  FloatDivideByZero,      // floating-point faults, each with its trap switched on
  FloatOverflow,
  FloatUnderflow,
  FloatInexactResult,
  FloatInvalidOperation,
  FloatDenormalOperand,
  FloatStackCheck,  // the x87 register stack pushed past its eight registers
};

/// The fault named in scene files ("access_violation", "float_overflow", ...), or nothing.
std::optional<ProcessorFault> processorFaultNamed(const std::string& name);

/// Makes the processor raise the fault on the calling thread. The caller's frames are abandoned
/// when a fault guard takes it; without one the process dies of the signal. On x86-64 Linux an
/// integer overflow arrives as a division fault and a privileged instruction as an access
/// violation, as the processor and the kernel report them; on every 64-bit system an array-bounds
/// check is an illegal instruction.
void raiseFault(ProcessorFault fault);

}  // namespace standin

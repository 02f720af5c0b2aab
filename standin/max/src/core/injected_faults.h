// Real processor faults that a scene injects into the host, for testing the fault traps.
#pragma once

namespace standin {
/// Writes through a null pointer: an access violation.
void raiseAccessViolation();
/// Divides an integer by zero: an integer division fault.
void raiseIntegerDivideByZero();
}  // namespace standin

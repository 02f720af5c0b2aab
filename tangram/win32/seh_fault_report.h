// The fault report: process, faulting module and its date, code, accessed address, bytes, call
// stack.
#pragma once

#include <windows.h>

#include <string>

namespace tangram::win32 {

/// Describes a structured exception in lines separated by "\n", the first being "Process:  "
/// and the executable's path; then "Module:  " and "Date Modified:  mm/dd/yyyy" of the module
/// holding the exception address (or "Exception Addr:  " and the address when no module holds
/// it), "Exception Code:  " with eight hexadecimal digits, for access violations "Write Address:  "
/// or "Read Address:  ", "Instruction: " with the 16 bytes at the exception address ("??" for
/// each byte that cannot be read), and "Call Stack:" with at most 20 entries of the frame-pointer
/// chain. Addresses are printed at full pointer width. Reads the process's memory only through
/// probes that cannot fault, and changes nothing; safe to call from a fault filter. Returns an
/// empty text when the report's 8000-byte block cannot be had.
std::string seh_fault_report(const EXCEPTION_POINTERS* fault);

}  // namespace tangram::win32

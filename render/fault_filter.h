// The fault filter of the trapped host calls and the daemon's guard: keeps each fault's report.
#pragma once

#include <windows.h>

#include <string>

namespace moonstone {

/// Decides about every structured exception that reaches a guard of the render engine or of the
/// daemon. It first replaces the text it was given (the job state's lastFaultDescription, which
/// the filter borrows and must not outlive) with the fault report of the exception, also for the
/// exceptions it then declines, and then accepts exactly the hardware faults that trapped calls
/// survive (see traps()). Everything else, the program's own thrown errors among it, is declined
/// and goes on to the caller's handlers.
class FaultFilter {
 public:
  explicit FaultFilter(std::string& lastFaultDescription)
      : lastFaultDescription_(lastFaultDescription) {}

  /// EXCEPTION_EXECUTE_HANDLER when traps(code), else EXCEPTION_CONTINUE_SEARCH.
  int operator()(EXCEPTION_POINTERS* fault) const;

  /// The accepted codes: datatype misalignment, access violation, in-page error, illegal
  /// instruction, array bounds exceeded and the float faults up to float stack check (float
  /// underflow, 0xC0000093, excepted), integer divide by zero and overflow, privileged
  /// instruction and stack overflow.
  static bool traps(DWORD code);

 private:
  std::string& lastFaultDescription_;
};

}  // namespace moonstone

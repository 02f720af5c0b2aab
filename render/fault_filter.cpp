// The fault filter: store the report, then accept the hardware faults.
#include "render/fault_filter.h"

#include "tangram/win32/seh_fault_report.h"

namespace moonstone {

int FaultFilter::operator()(EXCEPTION_POINTERS* fault) const {
  lastFaultDescription_ = tangram::win32::seh_fault_report(fault);
  return traps(fault->ExceptionRecord->ExceptionCode) ? EXCEPTION_EXECUTE_HANDLER
                                                      : EXCEPTION_CONTINUE_SEARCH;
}

bool FaultFilter::traps(DWORD code) {
  switch (code) {
    case EXCEPTION_DATATYPE_MISALIGNMENT:
    case EXCEPTION_ACCESS_VIOLATION:
    case EXCEPTION_IN_PAGE_ERROR:
    case EXCEPTION_ILLEGAL_INSTRUCTION:
    case EXCEPTION_ARRAY_BOUNDS_EXCEEDED:
    case EXCEPTION_FLT_DENORMAL_OPERAND:
    case EXCEPTION_FLT_DIVIDE_BY_ZERO:
    case EXCEPTION_FLT_INEXACT_RESULT:
    case EXCEPTION_FLT_INVALID_OPERATION:
    case EXCEPTION_FLT_OVERFLOW:
    case EXCEPTION_FLT_STACK_CHECK:
    case EXCEPTION_INT_DIVIDE_BY_ZERO:
    case EXCEPTION_INT_OVERFLOW:
    case EXCEPTION_PRIV_INSTRUCTION:
    case EXCEPTION_STACK_OVERFLOW:
      return true;
    default:
      return false;
  }
}

}  // namespace moonstone

// Names of the hardware fault codes.
#include "tangram/win32/seh_exception_name.h"

namespace tangram::win32 {

const char* seh_exception_name(DWORD code) {
  switch (code) {
    case EXCEPTION_ACCESS_VIOLATION:
      return "Access Violation";
    case EXCEPTION_DATATYPE_MISALIGNMENT:
      return "Datatype Misalignment";
    case EXCEPTION_ARRAY_BOUNDS_EXCEEDED:
      return "Array Bounds Exceeded";
    case EXCEPTION_FLT_DENORMAL_OPERAND:
      return "Float Denormal Operand";
    case EXCEPTION_FLT_DIVIDE_BY_ZERO:
      return "Float Divide By Zero";
    case EXCEPTION_FLT_INEXACT_RESULT:
      return "Float Inexact Result";
    case EXCEPTION_FLT_INVALID_OPERATION:
      return "Float Invalid Operation";
    case EXCEPTION_FLT_OVERFLOW:
      return "Float Overflow";
    case EXCEPTION_FLT_STACK_CHECK:
      return "Float Stack Check";
    case EXCEPTION_ILLEGAL_INSTRUCTION:
      return "Illegal Instruction";
    case EXCEPTION_IN_PAGE_ERROR:
      return "In Page Error";
    case EXCEPTION_INT_DIVIDE_BY_ZERO:
      return "Integer Divide By Zero";
    case EXCEPTION_INT_OVERFLOW:
      return "Integer Overflow";
    case EXCEPTION_PRIV_INSTRUCTION:
      return "Privileged Instruction";
    case EXCEPTION_STACK_OVERFLOW:
      return "Stack Overflow";
    default:
      return "Unknown SEH Exception Code";
  }
}

}  // namespace tangram::win32

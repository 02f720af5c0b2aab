// The name of a structured-exception code, as fault messages print it.
#pragma once

#include <windows.h>

namespace tangram::win32 {

/// "Access Violation", "Stack Overflow", ... for the hardware fault codes that trapped calls
/// accept; "Unknown SEH Exception Code" for every other code (float underflow included).
const char* seh_exception_name(DWORD code);

}  // namespace tangram::win32

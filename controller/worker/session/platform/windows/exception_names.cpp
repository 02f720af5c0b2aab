// The exception codes a crashed Windows program leaves as its exit code, named.
#include "controller/worker/session/platform/windows/exception_names.h"

#include "tangram/win32/seh_exception_name.h"

#include <windows.h>

#include <cstring>

namespace worker {

std::string exceptionName(unsigned long exitCode) {
  const DWORD code = static_cast<DWORD>(exitCode);
  // The hardware faults, under the names the plug-in's own fault reports give them.
  const char* fault = tangram::win32::seh_exception_name(code);
  if (std::strcmp(fault, "Unknown SEH Exception Code") != 0) return fault;
  // The other ways a process dies of an exception rather than exiting.
  struct Name {
    DWORD code;
    const char* name;
  };
  static const Name names[] = {
      {0x80000003, "Breakpoint"},
      {0xC0000017, "Out Of Memory"},
      {0xC0000093, "Float Underflow"},
      {0xC0000135, "DLL Not Found"},
      {0xC0000139, "Entry Point Not Found"},
      {0xC000013A, "Ended By Ctrl+C"},
      {0xC0000142, "DLL Initialisation Failed"},
      {0xC00002B4, "Float Multiple Faults"},
      {0xC00002B5, "Float Multiple Traps"},
      {0xC0000354, "Unhandled Exception (no debugger to report it)"},
      {0xC0000374, "Heap Corruption"},
      {0xC0000409, "Stack Buffer Overrun"},
      {0xC0000417, "Invalid C Runtime Parameter"},
      {0xE06D7363, "Unhandled C++ Exception"},
  };
  for (const Name& entry : names) {
    if (entry.code == code) return entry.name;
  }
  // Any other code of error severity (but -1, a common plain exit code) is an exception too.
  if ((code & 0xC0000000u) == 0xC0000000u && code != 0xFFFFFFFFu) return "Unknown Exception";
  return "";
}

}  // namespace worker

// The fault kinds that the fault matrix injects, and what each must end in on this platform.
#pragma once

#include <vector>

/// A fault the stand-in host can be made to raise, and how the plug-in must name it.
struct InjectedFault {
  const char* kind;  // the scene file's fault kind
  const char* name;  // the exception's name in the trap text
  const char* code;  // the exception code in the report
  // Wine ends the process instead of raising the exception inside the guard: only real Windows
  // shows the trap.
  bool wineEndsTheProcess = false;
};

/// A fault that the plug-in's filter declines on purpose, so that the host process dies of it.
struct HostEndingFault {
  const char* kind;
  int status;  // the host's exit status as runProcess reports it
};

/// Every fault kind that this platform really raises and the filter traps, with what arrives.
const std::vector<InjectedFault>& trappedFaults();

/// Every fault kind that this platform raises and the filter declines.
const std::vector<HostEndingFault>& hostEndingFaults();

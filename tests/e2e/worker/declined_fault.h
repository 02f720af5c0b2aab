// Test helpers for the worker end to end: a fault that the plug-in's filter declines, so that it
// ends maxsim, as each platform shows it.
#pragma once

#include <string>

/// Makes the maxsim that this test starts die of a declined fault as it would on a node (under
/// AddressSanitizer, the sanitizer would take the fault and exit with a status of its own).
void letDeclinedFaultsEndMaxsim();

/// How the worker describes the end of a maxsim that a declined float underflow ended, after
/// "maxsim ".
std::string declinedUnderflowEnd();

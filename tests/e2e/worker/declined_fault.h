// Test helper for the worker end to end: how the worker names the end of a maxsim that a fault
// declined by the plug-in's filter ended, as each platform shows it.
#pragma once

#include <string>

/// How the worker describes the end of a maxsim that a declined float underflow ended, after
/// "maxsim ".
std::string declinedUnderflowEnd();

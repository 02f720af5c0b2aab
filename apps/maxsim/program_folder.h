// The folder that holds the running maxsim executable.
#pragma once

#include <string>

/// The folder of the running executable, without a trailing separator; empty when the system
/// cannot say.
std::string programFolder();

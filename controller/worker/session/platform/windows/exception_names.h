// Windows exit codes of a crashed program in words, for saying how maxsim ended.
#pragma once

#include <string>

namespace worker {

/// The name of the exception code a program died of ("Access Violation", "Stack Overflow",
/// "Heap Corruption"...), or empty when the exit code is no exception code: an ordinary exit.
std::string exceptionName(unsigned long exitCode);

}  // namespace worker

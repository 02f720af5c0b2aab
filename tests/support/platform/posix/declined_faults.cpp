// Declined faults on POSIX: the signal must reach its default action, not the sanitizer.
#include "support/declined_faults.h"

#include <cstdlib>
#include <string>

void letDeclinedFaultsEndTheHost() {
  if (const char* asan = std::getenv("ASAN_OPTIONS")) {
    setenv("ASAN_OPTIONS", (std::string(asan) + ":handle_sigfpe=0").c_str(), 1);
  }
}

// The names and meanings of the signals a process commonly dies of.
#include "controller/worker/session/platform/posix/signal_names.h"

#include <signal.h>

namespace worker {

std::string describeSignal(int signal) {
  struct Name {
    int number;
    const char* name;
    const char* meaning;
  };
  static const Name names[] = {
      {SIGFPE, "SIGFPE", "floating-point exception"},
      {SIGSEGV, "SIGSEGV", "segmentation fault"},
      {SIGBUS, "SIGBUS", "bus error"},
      {SIGILL, "SIGILL", "illegal instruction"},
      {SIGABRT, "SIGABRT", "aborted"},
      {SIGKILL, "SIGKILL", "killed"},
      {SIGTERM, "SIGTERM", "terminated"},
      {SIGINT, "SIGINT", "interrupted"},
      {SIGHUP, "SIGHUP", "hang-up"},
      {SIGPIPE, "SIGPIPE", "broken pipe"},
      {SIGTRAP, "SIGTRAP", "trace trap"},
      {SIGSYS, "SIGSYS", "bad system call"},
      {SIGXCPU, "SIGXCPU", "CPU time limit exceeded"},
      {SIGXFSZ, "SIGXFSZ", "file size limit exceeded"},
  };
  for (const Name& entry : names) {
    if (entry.number == signal) return std::string(entry.name) + " (" + entry.meaning + ")";
  }
  return "signal " + std::to_string(signal);
}

}  // namespace worker

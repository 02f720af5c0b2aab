// Runs a program to its end and collects what it printed: how the farm mode calls Slurm's commands.
#pragma once

#include <string>
#include <vector>

namespace farm {

/// What a finished program left: its exit status and its standard output and error.
struct ProcessOutput {
  /// The exit status; -1 when the program could not start or ended by a signal.
  int status = -1;
  std::string out;
  std::string err;
};

/// Runs the program (looked up in PATH when it has no slash) with the arguments, no shell, with
/// standard input from /dev/null, and waits for it. Never throws for the program's own failure:
/// a program that cannot start gives status -1 and the reason in `err`.
ProcessOutput runProgram(const std::vector<std::string>& argv);

}  // namespace farm

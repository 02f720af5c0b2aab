// Test helper: runs a program to its end with given input and collects its standard output,
// error and status.
#pragma once

#include <string>
#include <vector>

struct ProcessResult {
  int status = -1;  // the exit status; -1 when the program did not exit normally
  std::string out;
  std::string err;
};

/// Where the program's standard error goes: into `err`, or into `out` interleaved with its
/// output as a console would show them.
enum class ErrorStream { separate, intoOutput };

/// Runs the program with the arguments (no shell), `input` as its standard input, and waits for
/// it.
ProcessResult runProcess(const std::string& program, const std::vector<std::string>& args,
                         const std::string& input = "",
                         ErrorStream errorStream = ErrorStream::separate);

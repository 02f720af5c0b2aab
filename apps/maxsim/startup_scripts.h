// The start-up scripts maxsim runs after loading its plug-ins (-U MAXScript FILE, -mxs TEXT).
#pragma once

#include <string>
#include <vector>

/// One start-up script: a file to run or a text to run.
struct StartupScript {
  enum class Kind { File, Text };
  Kind kind;
  std::string content;  // the file's name, or the script text
};

/// What this build can do with start-up scripts, for --help.
extern const char* const startupScriptSupport;

/// Runs the scripts in order, listener output to standard output. Returns 0 when all ran to
/// their end; otherwise prints the error to standard error and returns non-zero.
int runStartupScripts(const std::vector<StartupScript>& scripts);

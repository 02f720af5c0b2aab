// Test helper: runs a program to its end and collects its standard output, error and status.
#pragma once

#include <string>
#include <vector>

struct ProcessResult {
  int status = -1;  // the exit status; -1 when the program did not exit normally
  std::string out;
  std::string err;
};

/// Runs the program with the arguments (no shell), standard input empty, and waits for it.
ProcessResult runProcess(const std::string& program, const std::vector<std::string>& args);

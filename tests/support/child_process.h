// Test helper, the platform half of runProcess: starts a program with its standard streams on
// files.
#pragma once

#include <string>
#include <vector>

/// Runs the program with the arguments (no shell), standard input read from inPath, output
/// written to outPath and error to errPath (to outPath as well when errPath is empty), and waits
/// for it. The exit status, or -1 when it could not start or did not exit normally.
int runChild(const std::string& program, const std::vector<std::string>& args,
             const std::string& inPath, const std::string& outPath, const std::string& errPath);

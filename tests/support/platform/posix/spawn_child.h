// Test helper on POSIX: starts a program with its standard streams on files, without waiting.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

/// Forks and execs the program (no shell) with standard input from inPath, output into outPath
/// and error into errPath (into outPath as well when errPath is empty). The child's id, or -1.
pid_t spawnChild(const std::string& program, const std::vector<std::string>& args,
                 const std::string& inPath, const std::string& outPath, const std::string& errPath);

// Test helper: a fault report split into lines, and the facts the report is checked against.
#pragma once

#include <windows.h>

#include <sys/stat.h>

#include <cstdio>
#include <ctime>
#include <sstream>
#include <string>
#include <vector>

inline std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream stream(text);
  for (std::string line; std::getline(stream, line);) lines.push_back(line);
  return lines;
}

/// An address as the report prints it: upper-case hexadecimal at full pointer width.
inline std::string full_width(uintptr_t address) {
  char text[32];
  std::snprintf(text, sizeof(text), "%0*llX", static_cast<int>(2 * sizeof(void*)),
                static_cast<unsigned long long>(address));
  return text;
}

/// The local-time date line of a file, computed here from the file's own status.
inline std::string date_line_of(const std::string& path) {
  struct stat status {};
  stat(path.c_str(), &status);
  const time_t modified = status.st_mtime;
  const tm local = *std::localtime(&modified);
  char text[64];
  std::snprintf(text, sizeof(text), "Date Modified:  %02d/%02d/%d", local.tm_mon + 1, local.tm_mday,
                local.tm_year + 1900);
  return text;
}

/// The running test program's file, as the system names it in module lists.
inline std::string executable_path() {
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, path, sizeof(path));
  return std::string(path, length);
}

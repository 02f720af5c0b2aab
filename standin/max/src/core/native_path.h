// Where a file name the host is given lives on the file system of the platform it runs on.
#pragma once

#include <string>

namespace standin {
/// The path to open for a Windows file name: the name itself on Windows; on POSIX the drive map's
/// translation (drive letters to folders, backslashes to slashes).
std::string native_path(const std::string& windowsPath);

/// The characters that end a folder name in a native path: "/" on POSIX; on Windows both "\\"
/// and "/", which the system accepts alike.
extern const char* const native_separators;
}  // namespace standin

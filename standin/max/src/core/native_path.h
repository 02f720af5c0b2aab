// Where a file name the host is given lives on the file system of the platform it runs on.
#pragma once

#include <string>

namespace standin {
/// The path to open for a Windows file name: the name itself on Windows; on POSIX the drive map's
/// translation (drive letters to folders, backslashes to slashes).
std::string native_path(const std::string& windowsPath);
}  // namespace standin

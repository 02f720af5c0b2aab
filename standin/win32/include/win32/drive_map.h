// Where a Windows path lives on this machine: drive letters map to folders named by the
// environment.
#pragma once

#include <string>

namespace standin {
/// Translates a Windows path to a POSIX path. "X:" maps to $MAXSIM_DRIVE_X (letter upper case;
/// the letter in the path may be either case), an unmapped drive to $HOME/.maxsim/drive_x; a path
/// without a drive letter is a POSIX path. Backslashes are separators in both cases.
std::string posix_path(const std::string& windowsPath);
}  // namespace standin

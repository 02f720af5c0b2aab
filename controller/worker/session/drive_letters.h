// How the drive letters in the plug-in's file names reach folders of this machine.
#pragma once

#include <map>
#include <string>

namespace worker {

/// Makes each drive letter reach its folder for the maxsim started later and returns the folder
/// of drive C:. On POSIX, sets MAXSIM_DRIVE_A to MAXSIM_DRIVE_Z in this process's environment: a
/// drive in given wins, then one already mapped in the environment, else workDir/drive_x. On
/// Windows the letters are the system's own, mapped before the worker starts; given must be
/// empty there. Throws std::runtime_error when a drive is given where it cannot be mapped.
std::string mapDriveLetters(const std::map<char, std::string>& given, const std::string& workDir);

/// Where a file name as the plug-in sees it (a Windows path, drive letter or not) is on this
/// machine, through the drive letters that mapDriveLetters set.
std::string localPath(const std::string& pluginPath);

}  // namespace worker

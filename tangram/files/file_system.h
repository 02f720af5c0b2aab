// Files and folders by Windows name: existence test, folder creation, the system's error text.
#pragma once

#include "tangram/files/windows_path.h"

#include <string>

namespace tangram::files {

/// True for an existing file that is not a folder. A missing file, folder on the way or network
/// path gives false; any other failure throws std::runtime_error "file_exists: Could not get the
/// file attributes of "<path>": " followed by the system's text for the error.
bool file_exists(const std::string& path);

/// Creates `folder` and every missing folder above it, outermost first; one trailing separator
/// is ignored. Failed creations are not reported (an existing folder, a drive root or a share
/// name fails harmlessly); whoever writes into the folder finds out. Throws path_name_error for
/// a name that breaks the Windows rules.
void make_directories(std::string folder);

/// The system's text for the calling thread's last Windows error, without its line end; empty
/// when the system has no text for the code.
std::string last_error_message();

}  // namespace tangram::files

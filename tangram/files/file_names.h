// Windows file names taken apart and put together: separators, folder, file name, extension.
#pragma once

#include "tangram/files/windows_path.h"

#include <string>

namespace tangram::files {

/// `path` with every "/" turned into a backslash and each pair of adjacent backslashes made one
/// (so a run of n becomes ceil(n/2)), except a leading pair, which starts a UNC name and stays.
std::string normalize_separators(std::string path);

/// The folder part of `path` (normalized first), backslash-separated, without a trailing
/// backslash except for the root folder of a drive or share ("D:\x.tga" gives "D:\"); empty for
/// a bare file name. Throws path_name_error for a name that breaks the Windows rules.
std::string parent_directory(const std::string& path);

/// The file-name part of `path` (normalized first). Throws path_name_error as parent_directory.
std::string leaf_name(const std::string& path);

/// `path` (normalized first) with the file name's last extension replaced by `extension`
/// (which includes its dot), or with `extension` appended when the file name has no dot; dots in
/// folder names are left alone. Throws path_name_error as parent_directory, and also when the
/// new file name breaks the rules.
std::string change_extension(const std::string& path, const std::string& extension);

/// `text` ending in a separator: a backslash is appended unless it already ends in a backslash
/// or "/". An empty text stays empty.
std::string ensure_trailing_backslash(std::string text);

}  // namespace tangram::files

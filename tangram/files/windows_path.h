// A parsed Windows path: drive or server, root folder and names, each name checked by Windows
// rules.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

namespace tangram::files {

/// Thrown when a name in a path breaks the Windows file-name rules; the text names both the
/// name and the whole path: invalid name "<name>" in path: "<path>".
class path_name_error : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

/// True for a name Windows accepts as a file or folder name: not empty, no control character
/// and none of < > : " / \ | ? *, and not ending in a space or a dot ("." and ".." excepted).
bool is_windows_name(const std::string& name);

/// A Windows path split into its root (a drive "C:" or a server "\\name", then perhaps the root
/// folder) and its names. Backslash and "/" both separate; one separator at the end is dropped.
/// Every name, and a server's name, must pass is_windows_name, so an empty name between two
/// separators is refused as well.
class windows_path {
 public:
  windows_path() = default;
  /// Parses `text`. Throws path_name_error for a name that breaks the rules.
  explicit windows_path(const std::string& text);

  bool empty() const { return root_name_.empty() && !root_folder_ && names_.empty(); }

  /// The path without its last element: without the last name, else without the root folder,
  /// else empty. The root folder of a drive or share stays when only a name is taken away.
  windows_path branch_path() const;
  /// The last element: the last name, else "\" for a root folder, else the drive or server.
  std::string leaf() const;
  /// The path written with backslashes.
  std::string native_file_string() const;

  /// The path with one more name. Throws path_name_error when `name` breaks the rules.
  friend windows_path operator/(const windows_path& path, const std::string& name);

 private:
  std::string root_name_;  // "C:", "\\server" or empty
  bool root_folder_ = false;
  std::vector<std::string> names_;
};

}  // namespace tangram::files

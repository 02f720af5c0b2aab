// Windows file names taken apart with windows_path after their separators are made uniform.
#include "tangram/files/file_names.h"

#include "tangram/files/replace_all.h"
#include "tangram/files/windows_path.h"

namespace tangram::files {

std::string normalize_separators(std::string path) {
  path = replace_all(path, "/", "\\");
  const bool unc = path.size() > 1 && path[0] == '\\' && path[1] == '\\';
  if (!unc) return replace_all(path, "\\\\", "\\");
  return "\\\\" + replace_all(path.substr(2), "\\\\", "\\");
}

std::string parent_directory(const std::string& path) {
  return windows_path(normalize_separators(path)).branch_path().native_file_string();
}

std::string leaf_name(const std::string& path) {
  return windows_path(normalize_separators(path)).leaf();
}

std::string change_extension(const std::string& path, const std::string& extension) {
  const windows_path parsed(normalize_separators(path));
  const std::string leaf = parsed.leaf();
  const std::string stem = leaf.substr(0, leaf.rfind('.'));
  return (parsed.branch_path() / (stem + extension)).native_file_string();
}

std::string ensure_trailing_backslash(std::string text) {
  if (!text.empty() && text.back() != '\\' && text.back() != '/') text += '\\';
  return text;
}

}  // namespace tangram::files

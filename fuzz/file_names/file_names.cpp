// Fuzz target: the Windows file-name utilities fed arbitrary names. The input is a path, and
// after an optional line feed the extension to put on it (".jpg" when there is no line feed).
#include "tangram/files/file_names.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

using namespace tangram::files;

void require(bool condition) {
  if (!condition) std::abort();
}

// What the render engine relies on when it derives companion names and walks up folders.
void checkNames(const std::string& path, const std::string& extension) {
  const std::string normalized = normalize_separators(path);
  require(normalized.size() <= path.size());

  const std::string parent = parent_directory(path);
  // make_directories stops at a parent that is not shorter: every real parent must be.
  require(parent.size() < normalized.size() || normalized.empty());

  // The leaf is one name, or else the root folder or the drive or server itself.
  const std::string leaf = leaf_name(path);
  require(leaf == "\\" || leaf.find('\\') == std::string::npos || leaf.rfind("\\\\", 0) == 0);

  std::string changed;
  try {
    changed = change_extension(path, extension);
  } catch (const path_name_error&) {
    return;  // the new file name breaks the rules (or the path ends in a root, not a name)
  }
  require(parent_directory(changed) == parent);
  require(changed.size() >= extension.size() &&
          changed.compare(changed.size() - extension.size(), extension.size(), extension) == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  const size_t lineEnd = input.find('\n');
  const std::string path = input.substr(0, lineEnd);
  const std::string extension = lineEnd == std::string::npos ? ".jpg" : input.substr(lineEnd + 1);

  const std::string withSeparator = ensure_trailing_backslash(path);
  require(path.empty() ? withSeparator.empty()
                       : withSeparator.back() == '\\' || withSeparator.back() == '/');
  try {
    checkNames(path, extension);
  } catch (const path_name_error&) {
    // A name that breaks the Windows rules: the documented refusal.
  }
  return 0;
}

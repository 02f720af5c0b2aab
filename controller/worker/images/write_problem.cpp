// Looking at a file's place for the reasons a write fails.
#include "controller/worker/images/write_problem.h"

#include <filesystem>

namespace worker {

namespace fs = std::filesystem;

std::optional<std::string> writeProblem(const std::string& path) {
  std::error_code error;
  if (fs::is_directory(path, error)) return "the name is a folder";
  const fs::path folder = fs::path(path).parent_path();
  if (!fs::is_directory(folder, error)) return "its folder " + folder.string() + " does not exist";
  const fs::perms permissions = fs::status(folder, error).permissions();
  if (!error && (permissions & (fs::perms::owner_write | fs::perms::group_write |
                                fs::perms::others_write)) == fs::perms::none)
    return "its folder " + folder.string() + " is read-only";
  const fs::space_info space = fs::space(folder, error);
  if (!error && space.available == 0) return "no space left on the disk of " + folder.string();
  return std::nullopt;
}

}  // namespace worker

// Mapped drives on Windows: the real drive, with what a test made at its top level removed when
// the test ends (a system drive keeps everything it held before).
#include "support/mapped_drive.h"

#include <set>
#include <stdexcept>
#include <string>

namespace {

// What the top level of a drive holds. (The root of an empty drive has no entries at all, not
// even "." and "..", which the directory iterator reports as an error: that is an empty list.)
std::set<std::filesystem::path> entries(const std::filesystem::path& root) {
  std::set<std::filesystem::path> found;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(root, error)) {
    found.insert(entry.path());
  }
  return found;
}

}  // namespace

struct MappedDrive::Cleanup {
  std::set<std::filesystem::path> before;
};

MappedDrive::MappedDrive(char letter)
    : path_(std::string(1, letter) + ":\\"), cleanup_(std::make_unique<Cleanup>()) {
  std::error_code error;
  if (!std::filesystem::is_directory(path_, error)) {
    throw std::runtime_error("drive " + std::string(1, letter) +
                             ": is not there: the Windows suites need it mapped to a folder "
                             "for their files (scripts/test-windows.sh maps it)");
  }
  cleanup_->before = entries(path_);
}

MappedDrive::~MappedDrive() {
  for (const std::filesystem::path& entry : entries(path_)) {
    if (cleanup_->before.count(entry) == 0) {
      std::error_code ignored;
      std::filesystem::remove_all(entry, ignored);
    }
  }
}

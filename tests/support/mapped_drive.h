// Test helper: a drive letter and the folder it names for one test.
#pragma once

#include <filesystem>
#include <memory>

/// A drive letter for a test's files. On POSIX the letter is mapped to a fresh temporary folder
/// of the test's own (MAXSIM_DRIVE_<letter>), removed afterwards. On Windows it is the real drive,
/// which every process sees: what the test made at the drive's top level is removed afterwards,
/// and the tests that use one must not run at the same time (CTest's resource lock
/// "windows_drives"). Throws std::runtime_error when the drive does not exist.
class MappedDrive {
 public:
  explicit MappedDrive(char letter);
  ~MappedDrive();
  MappedDrive(const MappedDrive&) = delete;
  MappedDrive& operator=(const MappedDrive&) = delete;

  /// The folder that the drive's root names on this machine.
  const std::filesystem::path& path() const { return path_; }

 private:
  struct Cleanup;
  std::filesystem::path path_;
  std::unique_ptr<Cleanup> cleanup_;
};

// The lock that keeps a work folder to one worker at a time.
#pragma once

#include <memory>
#include <string>

namespace worker {

/// Holds the work folder's lock file (WORK/.lock) while it lives. The system drops the lock when
/// the process ends, however it ends.
class WorkFolderLock {
 public:
  /// Takes the lock without waiting. Throws std::runtime_error, saying why, when another worker
  /// holds it or the lock file cannot be made.
  explicit WorkFolderLock(const std::string& workDir);
  ~WorkFolderLock();
  WorkFolderLock(const WorkFolderLock&) = delete;
  WorkFolderLock& operator=(const WorkFolderLock&) = delete;

 private:
  int descriptor_;
};

}  // namespace worker

// The job folder's lock: one farm command at a time changes a job.
#pragma once

#include <ostream>
#include <string>

namespace farm {

/// Holds an exclusive lock on DIR/job.lock for as long as it lives, so that two commands that
/// change one job (two `farm retry` at once) cannot both read it as ended and both submit. A
/// second holder waits for the first, saying once on `waiting` that it waits. The lock goes with
/// the process, so a command that dies leaves no stale lock. Throws JobFileError when the lock
/// file cannot be opened.
class JobLock {
 public:
  JobLock(const std::string& directory, std::ostream& waiting);
  ~JobLock();
  JobLock(const JobLock&) = delete;
  JobLock& operator=(const JobLock&) = delete;

 private:
  int descriptor_ = -1;
};

}  // namespace farm

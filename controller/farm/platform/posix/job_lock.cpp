// The job folder's lock on POSIX: flock(2) on DIR/job.lock, released when the process ends.
#include "controller/farm/job_lock.h"

#include "controller/farm/farm_job.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace farm {

JobLock::JobLock(const std::string& directory, std::ostream& waiting) {
  const std::string path = directory + "/job.lock";
  descriptor_ = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (descriptor_ < 0) throw JobFileError("cannot open " + path + ": " + std::strerror(errno));
  if (flock(descriptor_, LOCK_EX | LOCK_NB) == 0) return;
  waiting << "another farm command is changing the job in " << directory << "; waiting for it\n"
          << std::flush;
  int result;
  do {
    result = flock(descriptor_, LOCK_EX);
  } while (result != 0 && errno == EINTR);
  if (result != 0) {
    const std::string why = std::strerror(errno);
    close(descriptor_);
    throw JobFileError("cannot lock " + path + ": " + why);
  }
}

JobLock::~JobLock() {
  // Closing the descriptor releases the lock.
  close(descriptor_);
}

}  // namespace farm

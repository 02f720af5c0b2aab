// The work folder's lock with flock(2), which the system releases when the worker ends.
#include "controller/worker/session/work_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace worker {

WorkFolderLock::WorkFolderLock(const std::string& workDir) {
  const std::string path = workDir + "/.lock";
  // Close-on-exec: maxsim must not hold the lock after the worker is gone.
  descriptor_ = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (descriptor_ < 0) {
    throw std::runtime_error("cannot make the lock file " + path + ": " + std::strerror(errno));
  }
  if (flock(descriptor_, LOCK_EX | LOCK_NB) != 0) {
    const int error = errno;
    close(descriptor_);
    if (error == EWOULDBLOCK) {
      throw std::runtime_error("the work folder " + workDir +
                               " is in use by another worker; give each worker its own --work-dir");
    }
    throw std::runtime_error("cannot lock " + path + ": " + std::strerror(error));
  }
}

WorkFolderLock::~WorkFolderLock() {
  close(descriptor_);
}

}  // namespace worker

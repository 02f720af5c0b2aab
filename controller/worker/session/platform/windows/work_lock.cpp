// The work folder's lock as a Windows file lock, which the system releases when the worker ends.
#include "controller/worker/session/work_lock.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <stdexcept>

namespace worker {

WorkFolderLock::WorkFolderLock(const std::string& workDir) {
  const std::string path = workDir + "/.lock";
  // Not inheritable: maxsim must not hold the lock after the worker is gone.
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    throw std::runtime_error("cannot make the lock file " + path + ": error " +
                             std::to_string(GetLastError()));
  }
  OVERLAPPED whole{};
  if (!LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD, MAXDWORD,
                  &whole)) {
    const DWORD error = GetLastError();
    CloseHandle(file);
    if (error == ERROR_LOCK_VIOLATION) {
      throw std::runtime_error("the work folder " + workDir +
                               " is in use by another worker; give each worker its own --work-dir");
    }
    throw std::runtime_error("cannot lock " + path + ": error " + std::to_string(error));
  }
  // Held as a C runtime descriptor, which owns the handle and closes it with the descriptor.
  descriptor_ = _open_osfhandle(reinterpret_cast<intptr_t>(file), _O_RDWR);
  if (descriptor_ < 0) {
    CloseHandle(file);
    throw std::runtime_error("cannot lock " + path + ": no descriptor for the lock file");
  }
}

WorkFolderLock::~WorkFolderLock() {
  _close(descriptor_);
}

}  // namespace worker

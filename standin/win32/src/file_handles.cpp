// File handles over POSIX file descriptors.
#include <windows.h>

#include "files_posix.h"
#include "kernel_object.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace {

class FileObject : public standin::detail::kernel_object {
 public:
  explicit FileObject(int descriptor) : fd(descriptor) {}
  ~FileObject() override { close(fd); }
  FileObject(const FileObject&) = delete;
  FileObject& operator=(const FileObject&) = delete;
  const int fd;
};

int access_flags(DWORD desiredAccess) {
  const bool reads = (desiredAccess & GENERIC_READ) != 0;
  const bool writes = (desiredAccess & GENERIC_WRITE) != 0;
  if (writes) return reads ? O_RDWR : O_WRONLY;
  return O_RDONLY;
}

// Opens with the disposition's flags; tells through `existed` whether an OPEN_ALWAYS or
// CREATE_ALWAYS found the file already there.
int open_with_disposition(const std::string& path, int access, DWORD disposition, bool& existed) {
  const int common = access | O_CLOEXEC;
  existed = false;
  switch (disposition) {
    case CREATE_NEW:
      return open(path.c_str(), common | O_CREAT | O_EXCL, 0666);
    case OPEN_EXISTING:
      return open(path.c_str(), common);
    case TRUNCATE_EXISTING:
      return open(path.c_str(), common | O_TRUNC);
    case CREATE_ALWAYS:
    case OPEN_ALWAYS: {
      const int created = open(path.c_str(), common | O_CREAT | O_EXCL, 0666);
      if (created >= 0 || errno != EEXIST) return created;
      existed = true;
      return open(path.c_str(), common | (disposition == CREATE_ALWAYS ? O_TRUNC : 0));
    }
    default:
      errno = EINVAL;
      return -1;
  }
}

}  // namespace

HANDLE WINAPI CreateFileA(LPCSTR path, DWORD desiredAccess, DWORD, LPSECURITY_ATTRIBUTES security,
                          DWORD creationDisposition, DWORD flagsAndAttributes,
                          HANDLE templateFile) {
  if (security != nullptr || templateFile != nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_HANDLE_VALUE;
  }
  const auto posixPath = standin::detail::reachable_posix_path(path);
  if (!posixPath) return INVALID_HANDLE_VALUE;
  bool existed = false;
  const int fd =
      open_with_disposition(*posixPath, access_flags(desiredAccess), creationDisposition, existed);
  if (fd < 0) {
    if (errno == EINVAL) {
      SetLastError(ERROR_INVALID_PARAMETER);
    } else if (errno == EEXIST) {
      SetLastError(ERROR_FILE_EXISTS);
    } else if (errno == EISDIR) {
      SetLastError(ERROR_ACCESS_DENIED);
    } else {
      standin::detail::set_error_from_errno(errno, *posixPath);
    }
    return INVALID_HANDLE_VALUE;
  }
  auto file = std::make_unique<FileObject>(fd);
  struct stat status {};
  if (fstat(fd, &status) == 0 && S_ISDIR(status.st_mode) &&
      (flagsAndAttributes & FILE_FLAG_BACKUP_SEMANTICS) == 0) {
    SetLastError(ERROR_ACCESS_DENIED);
    return INVALID_HANDLE_VALUE;
  }
  SetLastError(existed ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
  return standin::detail::open_handle(std::move(file));
}

BOOL WINAPI GetFileTime(HANDLE file, LPFILETIME creation, LPFILETIME lastAccess,
                        LPFILETIME lastWrite) {
  const auto* open = standin::detail::handle_object<FileObject>(file);
  if (open == nullptr) return FALSE;
  struct stat status {};
  if (fstat(open->fd, &status) != 0) {
    SetLastError(ERROR_GEN_FAILURE);
    return FALSE;
  }
  const auto record = standin::detail::record_of(status);
  if (creation != nullptr) *creation = record.creation;
  if (lastAccess != nullptr) *lastAccess = record.lastAccess;
  if (lastWrite != nullptr) *lastWrite = record.lastWrite;
  return TRUE;
}

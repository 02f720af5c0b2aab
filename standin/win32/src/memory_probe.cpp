// Memory probes through the kernel: process_vm_readv copies and /proc/self/maps permissions.
#include <windows.h>

#include <fcntl.h>
#include <sys/uio.h>
#include <unistd.h>

#include <cstdint>

namespace {

// The pseudo handle of the calling process, as Windows spells it.
const HANDLE currentProcess = reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-1));

// Copies from this process's memory by asking the kernel, which reports an unreadable source
// with EFAULT instead of delivering a fault.
bool copy_own_memory(void* target, const void* source, size_t size) {
  iovec local{target, size};
  iovec remote{const_cast<void*>(source), size};
  const ssize_t copied = process_vm_readv(getpid(), &local, 1, &remote, 1, 0);
  return copied == static_cast<ssize_t>(size);
}

// Reads the start of each line of /proc/self/maps ("start-end perms ...") with a fixed buffer,
// and tells whether the mapping that holds address has permission `wanted` ('r', 'w' or 'x').
class MapsReader {
 public:
  MapsReader() : fd_(open("/proc/self/maps", O_RDONLY | O_CLOEXEC)) {}
  ~MapsReader() {
    if (fd_ >= 0) close(fd_);
  }
  MapsReader(const MapsReader&) = delete;
  MapsReader& operator=(const MapsReader&) = delete;

  bool permits(uintptr_t address, char wanted) {
    if (fd_ < 0) return false;
    for (;;) {
      uintptr_t start = 0;
      uintptr_t end = 0;
      char permissions[4] = {};
      if (!readHex(start) || !expect('-') || !readHex(end) || !expect(' ')) return false;
      for (char& permission : permissions) {
        if (!next(permission)) return false;
      }
      if (address >= start && address < end) {
        for (char permission : permissions) {
          if (permission == wanted) return true;
        }
        return false;
      }
      if (!skipLine()) return false;
    }
  }

 private:
  bool next(char& c) {
    if (position_ == filled_) {
      const ssize_t got = read(fd_, buffer_, sizeof(buffer_));
      if (got <= 0) return false;
      filled_ = static_cast<size_t>(got);
      position_ = 0;
    }
    c = buffer_[position_++];
    return true;
  }
  bool expect(char wanted) {
    char c = 0;
    return next(c) && c == wanted;
  }
  bool readHex(uintptr_t& value) {
    value = 0;
    for (;;) {
      char c = 0;
      if (!next(c)) return false;
      int digit = -1;
      if (c >= '0' && c <= '9') digit = c - '0';
      if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
      if (digit < 0) {
        --position_;  // the separator is read again by the caller
        return true;
      }
      value = value * 16 + static_cast<uintptr_t>(digit);
    }
  }
  bool skipLine() {
    char c = 0;
    while (next(c)) {
      if (c == '\n') return true;
    }
    return false;
  }

  int fd_;
  char buffer_[4096];
  size_t filled_ = 0;
  size_t position_ = 0;
};

}  // namespace

BOOL WINAPI IsBadReadPtr(const void* address, UINT_PTR size) {
  if (size == 0) return FALSE;
  const auto first = reinterpret_cast<uintptr_t>(address);
  if (first + (size - 1) < first) return TRUE;  // the range wraps around the address space
  // One byte of every page the range touches tells whether that page can be read.
  const uintptr_t page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
  const uintptr_t last = first + (size - 1);
  char scratch = 0;
  for (uintptr_t probe = first;; probe = (probe | (page - 1)) + 1) {
    if (!copy_own_memory(&scratch, reinterpret_cast<const void*>(probe), 1)) return TRUE;
    if ((probe | (page - 1)) >= last) return FALSE;
  }
}

BOOL WINAPI IsBadCodePtr(FARPROC address) {
  MapsReader maps;
  return maps.permits(reinterpret_cast<uintptr_t>(address), 'x') ? FALSE : TRUE;
}

HANDLE WINAPI GetCurrentProcess() {
  return currentProcess;
}

BOOL WINAPI ReadProcessMemory(HANDLE process, LPCVOID address, LPVOID buffer, SIZE_T size,
                              SIZE_T* bytesRead) {
  if (bytesRead != nullptr) *bytesRead = 0;
  if (process != currentProcess) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (size != 0 && !copy_own_memory(buffer, address, size)) {
    SetLastError(ERROR_PARTIAL_COPY);
    return FALSE;
  }
  if (bytesRead != nullptr) *bytesRead = size;
  return TRUE;
}

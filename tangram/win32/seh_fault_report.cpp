// The fault report, formed piece by piece with wsprintfA in one 8000-byte block.
#include "tangram/win32/seh_fault_report.h"

#include <tlhelp32.h>

#include <cstdarg>
#include <cstring>
#include <memory>
#include <new>

namespace tangram::win32 {

namespace {

constexpr size_t reportSize = 8000;
constexpr int maximumFrames = 20;
constexpr size_t argumentWords = 5;

// The report's text. Every piece is formatted on its own and appended as far as room remains, so
// a long path cannot overrun the block.
class ReportBlock {
 public:
  ReportBlock() : text_(new (std::nothrow) char[reportSize]) {
    if (text_) text_[0] = '\0';
  }

  bool usable() const { return text_ != nullptr; }

  void append(const char* format, ...) {
    char piece[1024];
    va_list arguments;
    va_start(arguments, format);
    const size_t length = static_cast<size_t>(wvsprintfA(piece, format, arguments));
    va_end(arguments);
    const size_t room = reportSize - 1 - length_;
    const size_t taken = length < room ? length : room;
    std::memcpy(text_.get() + length_, piece, taken);
    length_ += taken;
    text_[length_] = '\0';
  }

  // Without the line break that opens the first line.
  std::string text() const {
    const size_t start = (length_ > 0 && text_[0] == '\n') ? 1 : 0;
    return std::string(text_.get() + start, length_ - start);
  }

 private:
  std::unique_ptr<char[]> text_;
  size_t length_ = 0;
};

class ScopedHandle {
 public:
  explicit ScopedHandle(HANDLE handle) : handle_(handle) {}
  ~ScopedHandle() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }
  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle& operator=(const ScopedHandle&) = delete;
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

// One link of the frame-pointer chain as it lies on the stack.
struct FrameRecord {
  const FrameRecord* next;
  const void* returnAddress;
};

struct Module {
  const BYTE* base = nullptr;
  char path[MAX_PATH] = {};
};

// CONTEXT names the frame-pointer register after the processor: Rbp on x64, Ebp on x86.
template <typename Context>
auto frame_pointer(const Context& context, int) -> decltype(context.Rbp) {
  return context.Rbp;
}
template <typename Context>
auto frame_pointer(const Context& context, long) -> decltype(context.Ebp) {
  return context.Ebp;
}

// Copies memory only after a probe said it can be read. The copy goes through the system as
// well: the memory may change in between, and in an instrumented build a stack word may lie in
// a guard zone where a plain read would be reported as an error.
bool read_memory(const void* address, void* target, size_t size) {
  if (IsBadReadPtr(address, size)) return false;
  return ReadProcessMemory(GetCurrentProcess(), address, target, size, nullptr) != FALSE;
}

// The loaded module that contains the address, from a fresh snapshot.
bool find_module(const void* address, Module& found) {
  ScopedHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, 0));
  if (snapshot.get() == INVALID_HANDLE_VALUE) return false;
  MODULEENTRY32 entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = Module32First(snapshot.get(), &entry); more;
       more = Module32Next(snapshot.get(), &entry)) {
    // At full pointer width: a 32-bit difference would match addresses 4 GiB apart.
    const auto offset =
        reinterpret_cast<UINT_PTR>(address) - reinterpret_cast<UINT_PTR>(entry.modBaseAddr);
    if (offset < entry.modBaseSize) {
      found.base = entry.modBaseAddr;
      std::memcpy(found.path, entry.szExePath, sizeof(found.path));
      found.path[MAX_PATH - 1] = '\0';
      return true;
    }
  }
  return false;
}

void append_file_date(ReportBlock& report, const char* path) {
  ScopedHandle file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) return;
  FILETIME written{};
  FILETIME local{};
  SYSTEMTIME date{};
  if (!GetFileTime(file.get(), nullptr, nullptr, &written) ||
      !FileTimeToLocalFileTime(&written, &local) || !FileTimeToSystemTime(&local, &date)) {
    return;
  }
  report.append("\nDate Modified:  %02d/%02d/%d", date.wMonth, date.wDay, date.wYear);
}

void append_instruction(ReportBlock& report, const BYTE* address) {
  report.append("\nInstruction: ");
  for (size_t i = 0; i < 16; ++i) {
    BYTE value = 0;
    if (read_memory(address + i, &value, 1)) {
      report.append(" %02X", value);
    } else {
      report.append(" ??");
    }
  }
}

void append_call_stack(ReportBlock& report, const EXCEPTION_POINTERS& fault) {
  report.append("\nCall Stack:");
  // Record 0 comes from the fault itself; every later one from the stack.
  FrameRecord record{reinterpret_cast<const FrameRecord*>(frame_pointer(*fault.ContextRecord, 0)),
                     fault.ExceptionRecord->ExceptionAddress};
  const FrameRecord* location = nullptr;
  for (int number = 0; number < maximumFrames; ++number) {
    if (number > 0) {
      location = record.next;
      if (!read_memory(location, &record, sizeof(record))) return;
    }
    if (IsBadCodePtr(reinterpret_cast<FARPROC>(const_cast<void*>(record.returnAddress)))) return;
    Module module;
    if (!find_module(record.returnAddress, module)) {
      report.append("\n%p", record.returnAddress);
      continue;
    }
    report.append("\n%p  %s", module.base, module.path);
    report.append("\n  +%08X",
                  static_cast<DWORD>(static_cast<const BYTE*>(record.returnAddress) - module.base));
    if (number == 0) {
      report.append("  Exception Offset");
      continue;
    }
    // The words above the record are the first arguments of the frame's function.
    DWORD words[argumentWords];
    if (read_memory(location + 1, words, sizeof(words))) {
      report.append("  (%X, %X, %X, %X, %X)", words[0], words[1], words[2], words[3], words[4]);
    }
  }
}

}  // namespace

std::string seh_fault_report(const EXCEPTION_POINTERS* fault) {
  ReportBlock report;
  if (!report.usable()) return std::string();
  const EXCEPTION_RECORD& exception = *fault->ExceptionRecord;
  const auto* address = static_cast<const BYTE*>(exception.ExceptionAddress);

  char process[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, process, MAX_PATH);
  report.append("\nProcess:  %s", process);

  Module module;
  if (find_module(address, module)) {
    report.append("\nModule:  %s", module.path);
    append_file_date(report, module.path);
  } else {
    report.append("\nException Addr:  %p", address);
  }
  report.append("\nException Code:  %08X", exception.ExceptionCode);
  if (exception.ExceptionCode == EXCEPTION_ACCESS_VIOLATION) {
    report.append("\n%s Address:  %p", exception.ExceptionInformation[0] != 0 ? "Write" : "Read",
                  reinterpret_cast<const void*>(exception.ExceptionInformation[1]));
  }
  append_instruction(report, address);
  append_call_stack(report, *fault);
  return report.text();
}

}  // namespace tangram::win32

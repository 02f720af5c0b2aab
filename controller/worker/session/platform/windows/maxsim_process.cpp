// Starting, watching and ending the maxsim (or 3ds Max) child with Windows process calls, in a
// job object that the system closes, and so ends the child, when the worker ends however it ends.
#include "controller/worker/session/maxsim_process.h"

#include "controller/worker/session/platform/windows/exception_names.h"

#include <windows.h>

#include <cstdio>
#include <memory>
#include <stdexcept>

namespace worker {

namespace {

/// The exit code the worker gives a child that it ends by force, as -1 in signal_ marks.
constexpr UINT killedByWorker = 1;

/// The system's message for the calling thread's last error.
std::string lastErrorText() {
  const DWORD error = GetLastError();
  char* text = nullptr;
  const DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string message = length > 0 ? std::string(text, length) : "error " + std::to_string(error);
  LocalFree(text);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                              message.back() == ' ' || message.back() == '.')) {
    message.pop_back();
  }
  return message;
}

/// One argument as the C runtime's command-line parser reads it back: quoted when it holds a
/// blank or a quote (or is empty), with the backslashes before a quote doubled.
std::string quoted(const std::string& argument) {
  if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos) return argument;
  std::string out = "\"";
  size_t backslashes = 0;
  for (const char c : argument) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    out.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
    backslashes = 0;
    out += c;
  }
  out.append(2 * backslashes, '\\');
  return out + "\"";
}

struct HandleCloser {
  void operator()(void* handle) const {
    if (handle && handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
  }
};
using Handle = std::unique_ptr<void, HandleCloser>;

/// A handle the child inherits (only those named in its attribute list reach it).
Handle inheritableFile(const std::string& path, DWORD access, DWORD disposition) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE file =
      CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  &inherit, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  return Handle(file == INVALID_HANDLE_VALUE ? nullptr : file);
}

/// Posts a close request to each top-level window of the process: what ends a GUI program in
/// order, as SIGTERM does on POSIX.
BOOL CALLBACK closeWindowOf(HWND window, LPARAM processId) {
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == static_cast<DWORD>(processId)) PostMessageA(window, WM_CLOSE, 0, 0);
  return TRUE;
}

}  // namespace

MaxsimProcess::MaxsimProcess(const std::string& program, const std::vector<std::string>& arguments,
                             const std::string& outputPath) {
  const Handle input = inheritableFile("NUL", GENERIC_READ, OPEN_EXISTING);
  const Handle output = inheritableFile(outputPath, FILE_APPEND_DATA, OPEN_ALWAYS);
  if (!input || !output) {
    throw std::runtime_error("cannot open " + outputPath +
                             " for maxsim's output: " + lastErrorText());
  }
  // Kill-on-close: the worker holds the only handle, so the system ends the child (and all it
  // started) when the worker ends, even when it is killed outright. An unhandled exception ends
  // the child at once instead of leaving it behind an error-reporting dialog.
  Handle job(CreateJobObjectA(nullptr, nullptr));
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
  limits.BasicLimitInformation.LimitFlags =
      JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE | JOB_OBJECT_LIMIT_DIE_ON_UNHANDLED_EXCEPTION;
  if (!job || !SetInformationJobObject(job.get(), JobObjectExtendedLimitInformation, &limits,
                                       sizeof limits)) {
    throw std::runtime_error("cannot start " + program + ": no job object: " + lastErrorText());
  }

  // Exactly the three standard handles are inherited: not the worker's socket nor its lock.
  HANDLE inherited[] = {input.get(), output.get()};
  SIZE_T attributeSize = 0;
  InitializeProcThreadAttributeList(nullptr, 1, 0, &attributeSize);
  std::vector<char> attributeBlock(attributeSize);
  auto* attributes = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(attributeBlock.data());
  if (!InitializeProcThreadAttributeList(attributes, 1, 0, &attributeSize) ||
      !UpdateProcThreadAttribute(attributes, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, inherited,
                                 sizeof inherited, nullptr, nullptr)) {
    throw std::runtime_error("cannot start " + program + ": " + lastErrorText());
  }
  STARTUPINFOEXA startup{};
  startup.StartupInfo.cb = sizeof startup;
  startup.StartupInfo.dwFlags = STARTF_USESTDHANDLES;
  startup.StartupInfo.hStdInput = input.get();
  startup.StartupInfo.hStdOutput = output.get();
  startup.StartupInfo.hStdError = output.get();
  startup.lpAttributeList = attributes;

  std::string commandLine = quoted(program);
  for (const std::string& argument : arguments) commandLine += " " + quoted(argument);
  // No console of the worker's: a Ctrl-C or Ctrl-Break there reaches only the worker, which ends
  // the child in order. Suspended until it is in the job, so that nothing it starts escapes.
  PROCESS_INFORMATION started{};
  const BOOL ok = CreateProcessA(
      program.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
      CREATE_SUSPENDED | DETACHED_PROCESS | CREATE_NEW_PROCESS_GROUP | EXTENDED_STARTUPINFO_PRESENT,
      nullptr, nullptr, &startup.StartupInfo, &started);
  const std::string startError = ok ? "" : lastErrorText();
  DeleteProcThreadAttributeList(attributes);
  if (!ok) throw std::runtime_error("cannot start " + program + ": " + startError);
  const Handle thread(started.hThread);
  Handle process(started.hProcess);
  if (!AssignProcessToJobObject(job.get(), process.get())) {
    const std::string reason = lastErrorText();
    TerminateProcess(process.get(), killedByWorker);
    throw std::runtime_error("cannot start " + program + ": not placed in its job: " + reason);
  }
  ResumeThread(thread.get());
  pid_ = static_cast<long>(started.dwProcessId);
  process_ = process.release();
  job_ = job.release();
}

MaxsimProcess::~MaxsimProcess() {
  if (!poll()) terminate(2000);
  CloseHandle(process_);
  // Closing the job ends whatever the child started and left running.
  CloseHandle(job_);
}

std::optional<int> MaxsimProcess::poll() {
  if (status_) return status_;
  if (WaitForSingleObject(process_, 0) != WAIT_OBJECT_0) return std::nullopt;
  DWORD code = 0;
  if (!GetExitCodeProcess(process_, &code)) {
    status_ = -1;
    return status_;
  }
  if (signal_ != -1) signal_ = exceptionName(code).empty() ? 0 : static_cast<int>(code);
  status_ = static_cast<int>(code);
  return status_;
}

std::optional<int> MaxsimProcess::waitFor(int timeoutMs) {
  if (status_) return status_;
  WaitForSingleObject(process_, timeoutMs < 0 ? INFINITE : static_cast<DWORD>(timeoutMs));
  return poll();
}

int MaxsimProcess::terminate(int graceMs) {
  if (poll()) return *status_;
  EnumWindows(closeWindowOf, static_cast<LPARAM>(pid_));
  if (waitFor(graceMs)) return *status_;
  // The whole job: whatever the child started goes with it.
  signal_ = -1;
  TerminateJobObject(job_, killedByWorker);
  return *waitFor(-1);
}

std::string MaxsimProcess::describeEnd() {
  if (!poll()) return "";
  if (signal_ == -1) return "was killed by the worker";
  if (signal_ != 0) {
    char code[16];
    std::snprintf(code, sizeof code, "%08lX", static_cast<unsigned long>(*status_) & 0xFFFFFFFFul);
    return "crashed with " + exceptionName(static_cast<unsigned long>(*status_)) + " (exception " +
           code + ")";
  }
  return "exited with status " + std::to_string(*status_);
}

}  // namespace worker

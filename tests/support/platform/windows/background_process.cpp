// Test helper on Windows: a program in the background, terminated and waited for through its
// process handle, and whether a process still runs.
#include "support/background_process.h"

#include "support/platform/windows/spawn_child.h"

struct BackgroundProcess::Process {
  HANDLE handle;
  DWORD id;
};

BackgroundProcess::BackgroundProcess(const std::string& program,
                                     const std::vector<std::string>& args,
                                     const std::string& outputPath)
    : process_(new Process{nullptr, 0}), outputPath_(outputPath) {
  process_->handle = spawnChild(program, args, "NUL", outputPath, "", &process_->id);
}

BackgroundProcess::~BackgroundProcess() {
  if (!process_->handle) return;
  if (!ended_) {
    kill();
    wait();
  }
  CloseHandle(process_->handle);
}

long BackgroundProcess::pid() const {
  return static_cast<long>(process_->id);
}

void BackgroundProcess::kill() const {
  // The exit code that Windows' own task kill leaves.
  TerminateProcess(process_->handle, 1);
}

int BackgroundProcess::wait() {
  ended_ = true;
  DWORD code = 0;
  if (!process_->handle || WaitForSingleObject(process_->handle, INFINITE) != WAIT_OBJECT_0 ||
      !GetExitCodeProcess(process_->handle, &code)) {
    return -1;
  }
  return static_cast<int>(code);
}

bool processRuns(long pid) {
  HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(pid));
  if (!process) return false;
  const bool running = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
  CloseHandle(process);
  return running;
}

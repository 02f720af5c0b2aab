// The console control events that stop a render (Ctrl+C, Ctrl+Break, the console closing, log-off
// and shut-down), seen as the flag the worker polls.
#include "controller/worker/session/stop_signals.h"

#include <windows.h>

#include <atomic>

namespace worker {

namespace {

std::atomic<DWORD> stopEvent{0};
std::atomic<bool> stopped{false};

BOOL WINAPI onControlEvent(DWORD event) {
  if (!stopped.exchange(true)) stopEvent = event;
  // The system ends the process as soon as the handler of a closing console, a log-off or a
  // shut-down returns; holding this thread gives the worker its time (the system's own limit
  // still applies) to end maxsim and write the summary. Its exit ends this thread too.
  if (event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT) {
    Sleep(INFINITE);
  }
  return TRUE;
}

}  // namespace

void catchStopSignals() {
  SetConsoleCtrlHandler(onControlEvent, TRUE);
}

bool stopRequested() {
  return stopped;
}

std::string stopSignalName() {
  if (!stopped) return "";
  switch (stopEvent.load()) {
    case CTRL_C_EVENT:
      return "Ctrl+C";
    case CTRL_BREAK_EVENT:
      return "Ctrl+Break";
    case CTRL_CLOSE_EVENT:
      return "the console closing";
    case CTRL_LOGOFF_EVENT:
      return "log-off";
    default:
      return "shut-down";
  }
}

}  // namespace worker

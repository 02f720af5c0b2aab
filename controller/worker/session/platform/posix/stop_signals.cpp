// Stop signals taken by a thread of their own, so that no system call of the worker is cut short.
#include "controller/worker/session/stop_signals.h"

#include "controller/worker/session/platform/posix/signal_names.h"

#include <signal.h>

#include <atomic>
#include <thread>

namespace worker {

namespace {
std::atomic<int> stopSignal{0};
}  // namespace

void catchStopSignals() {
  sigset_t stops;
  sigemptyset(&stops);
  for (const int stop : {SIGTERM, SIGINT, SIGHUP}) sigaddset(&stops, stop);
  // Blocked in this thread before any other exists, so every later thread inherits the block
  // and only the waiting thread ever takes them.
  pthread_sigmask(SIG_BLOCK, &stops, nullptr);
  std::thread([stops] {
    for (;;) {
      int received = 0;
      if (sigwait(&stops, &received) == 0) stopSignal = received;
    }
  }).detach();
}

bool stopRequested() {
  return stopSignal != 0;
}

std::string stopSignalName() {
  const int signal = stopSignal;
  if (signal == 0) return "";
  const std::string described = describeSignal(signal);
  return described.substr(0, described.find(' '));
}

}  // namespace worker

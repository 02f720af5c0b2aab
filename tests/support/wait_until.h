// Test helper: waiting for what another process does, by looking again every 20 ms.
#pragma once

#include <chrono>
#include <thread>

/// Waits up to timeoutSeconds until done() is true; whether it became true.
template <typename Condition>
bool waitUntil(Condition done, int timeoutSeconds) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
  while (!done()) {
    if (std::chrono::steady_clock::now() >= end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

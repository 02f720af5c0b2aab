// Test helper: what watching a background program is on every platform: its output file read,
// and waits by polling.
#include "support/background_process.h"

#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

std::string BackgroundProcess::output() const {
  std::ifstream in(outputPath_, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

bool BackgroundProcess::waitForOutput(const std::string& text, int timeoutSeconds) const {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
  while (output().find(text) == std::string::npos) {
    if (std::chrono::steady_clock::now() >= end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

bool waitUntilEnded(long pid, int timeoutSeconds) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
  while (processRuns(pid)) {
    if (std::chrono::steady_clock::now() >= end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

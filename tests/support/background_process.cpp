// Test helper: what watching a background program is on every platform: its output file read,
// and waits for its output or its end.
#include "support/background_process.h"

#include "support/wait_until.h"

#include <fstream>
#include <sstream>

std::string BackgroundProcess::output() const {
  std::ifstream in(outputPath_, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

bool BackgroundProcess::waitForOutput(const std::string& text, int timeoutSeconds) const {
  return waitUntil([&] { return output().find(text) != std::string::npos; }, timeoutSeconds);
}

bool waitUntilEnded(long pid, int timeoutSeconds) {
  return waitUntil([&] { return !processRuns(pid); }, timeoutSeconds);
}

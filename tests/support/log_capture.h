// Test helper: drive C for the test, with the plug-in's log opened on it.
#pragma once

#include "log/log_stream.h"
#include "support/log_drive.h"

#include <filesystem>
#include <string>

/// Drive C for the test (see LogDrive), and the log stream opened in it as the job state does;
/// closes the stream again on destruction.
class LogCapture {
 public:
  LogCapture() { moonstone::openLogFile(moonstone::logStream); }
  ~LogCapture() {
    moonstone::logStream.close();
    moonstone::logStream.clear();
  }

  std::filesystem::path file() const { return drive_.file(); }
  const std::filesystem::path& drive() const { return drive_.drive(); }

  /// What the log file holds now.
  std::string text() const { return drive_.text(); }

 private:
  LogDrive drive_;
};

// Test helper: drive C for the test, with the plug-in's log opened on it.
#pragma once

#include "log/log_stream.h"
#include "support/mapped_drive.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

/// Drive C for the test (see MappedDrive), with Foxglove/logs made and no log left from before,
/// and the log stream opened in it as the job state does; closes the stream again on destruction.
class LogCapture {
 public:
  LogCapture() : drive_('C') {
    moonstone::logStream.close();
    moonstone::logStream.clear();
    std::filesystem::create_directories(drive_.path() / "Foxglove" / "logs");
    std::filesystem::remove(file());
    moonstone::openLogFile(moonstone::logStream);
  }
  ~LogCapture() {
    moonstone::logStream.close();
    moonstone::logStream.clear();
  }

  std::filesystem::path file() const {
    return drive_.path() / "Foxglove" / "logs" / "3zerorEzuridu.log";
  }
  const std::filesystem::path& drive() const { return drive_.path(); }

  /// What the log file holds now.
  std::string text() const {
    std::ifstream in(file());
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
  }

 private:
  MappedDrive drive_;
};

// Test helper: drive C for a test, holding the plug-in's log folder and no log from before.
#pragma once

#include "log/log_stream.h"
#include "support/mapped_drive.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

/// Drive C for the test (see MappedDrive) with Foxglove/logs made and the log of an earlier run
/// removed, so that what the test reads of the log was written while it ran.
class LogDrive {
 public:
  LogDrive() : drive_('C') {
    // This program's own log stream, opened at start-up when the folder was there, would keep
    // Windows from removing the old file.
    moonstone::logStream.close();
    moonstone::logStream.clear();
    std::filesystem::create_directories(drive_.path() / "Foxglove" / "logs");
    std::filesystem::remove(file());
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

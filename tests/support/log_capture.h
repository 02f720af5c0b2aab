// Test helper: points drive C at a temporary folder and opens the plug-in's log there.
#pragma once

#include "log/log_stream.h"
#include "support/temp_folder.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

/// Maps drive C to a temporary folder (with Foxglove/logs made) and opens the log stream in it
/// as the job state does; closes the stream again on destruction.
class LogCapture {
 public:
  LogCapture() {
    setenv("MAXSIM_DRIVE_C", drive_.path().c_str(), 1);
    std::filesystem::create_directories(drive_.path() / "Foxglove" / "logs");
    moonstone::logStream.close();
    moonstone::logStream.clear();
    moonstone::openLogFile(moonstone::logStream);
  }
  ~LogCapture() {
    moonstone::logStream.close();
    moonstone::logStream.clear();
  }

  std::filesystem::path file() const { return drive_.path() / "Foxglove/logs/3zerorEzuridu.log"; }
  const std::filesystem::path& drive() const { return drive_.path(); }

  /// What the log file holds now.
  std::string text() const {
    std::ifstream in(file());
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
  }

 private:
  TempFolder drive_;
};

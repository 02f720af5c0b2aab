// The plug-in's one diagnostic log: a process-wide file stream at a fixed path.
#pragma once

#include <fstream>

namespace moonstone {

/// Where the log lives on every render node.
extern const char* const logFilePath;

/// The log stream. Each message is one `<<` chain ended with std::endl, so every line is in the
/// file as soon as it is written. Constructed closed; the job state opens it.
extern std::ofstream logStream;

/// Opens (creating or truncating) the log file for writing while other processes may read and
/// write it too. When the file cannot be opened the stream stays failed and drops every line.
void openLogFile(std::ofstream& stream);

}  // namespace moonstone

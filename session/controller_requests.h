// Requests the plug-in makes to the controller while a command runs: titles, log lines, progress,
// and look-ups of job and submission information and auxiliary files.
#pragma once

#include <string>

namespace moonstone {

/// "FUNCTION: SETTITLE " + title.
std::string titleRequestText(const std::string& title);
/// "FUNCTION: PROGRESS " + percent with 7 significant digits in general format (37.5, 33.33333).
std::string progressRequestText(float percent);

// Each operation below is one exchange on the global socket. All but requestLogMessage first
// pump the thread's window messages. A socket failure (timeout and disconnection included)
// throws the script engine's RuntimeError "Error in <Function>: " + the socket error's text.

/// Sends a title; no answer is read.
void requestSetTitle(const std::string& title);
/// Sends a log line for the task's log; no answer is read.
void requestLogMessage(const std::string& message);
/// Sends a progress percentage and waits up to 1000 ms for the answer: true for "CONTINUE".
bool requestProgress(float percent);
/// The submission entry for key. Throws std::invalid_argument "Key <key> doesn't exist".
std::string requestSubmitInfoEntry(const std::string& key);
/// The number of elements of a submission list entry. Throws std::invalid_argument as above,
/// and boost::bad_lexical_cast when the answer is not an integer.
int requestSubmitInfoEntryElementCount(const std::string& key);
/// One element of a submission list entry. Throws std::invalid_argument "Key <key> doesn't exist".
std::string requestSubmitInfoEntryElement(int index, const std::string& key);
/// The job entry for key. Throws std::invalid_argument "Key <key> doesn't exist".
std::string requestJobInfoEntry(const std::string& key);
/// The name of an auxiliary file. Throws std::invalid_argument "Aux file requested doesn't exist".
std::string requestAuxFilename(int index);

}  // namespace moonstone

// The start-up script that has maxsim run the daemon, and the token that proves the connection.
#pragma once

#include <string>
#include <vector>

namespace worker {

/// A fresh random token: 32 hexadecimal digits from the system's random source.
std::string makeToken();

/// The MAXScript that runs the daemon against the port with the token and raises an error
/// (so that maxsim exits non-zero) when the daemon returns false.
std::string startupScript(int port, const std::string& token);

/// The switches that have maxsim (or 3ds Max) run the script at start-up, quietly. Where the
/// program takes the script only as a file (3ds Max on Windows: -U MAXScript FILE), the script is
/// written to scriptFile first. Throws std::runtime_error when that file cannot be written.
std::vector<std::string> startupSwitches(const std::string& script, const std::string& scriptFile);

}  // namespace worker

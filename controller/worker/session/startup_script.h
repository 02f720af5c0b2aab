// The start-up script that has maxsim run the daemon, and the token that proves the connection.
#pragma once

#include <string>

namespace worker {

/// A fresh random token: 32 hexadecimal digits from the system's random source.
std::string makeToken();

/// The MAXScript that runs the daemon against the port with the token and raises an error
/// (so that maxsim exits non-zero) when the daemon returns false.
std::string startupScript(int port, const std::string& token);

}  // namespace worker

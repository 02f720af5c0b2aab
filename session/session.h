// One session with the controller: connect, prove the token, answer the greeting, serve commands.
#pragma once

#include <string>

namespace moonstone {

/// Runs one session on the global socket to its end. Returns normally when the controller
/// closes the connection. Throws the socket errors that end it (connect failure, no greeting in
/// 1000 ms, any socket error but a timeout or disconnection in the loop), std::runtime_error
/// "Incorrect handshake with Foxglove plugin." for a wrong greeting, and whatever a command
/// lets through. The socket is left as it was on every end but the controller's hang-up.
void runSession(int portNumber, const std::string& token);

}  // namespace moonstone

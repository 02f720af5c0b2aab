// The daemon entry: one session at a time, with every error that ends it reported.
#pragma once

#include <string>

namespace moonstone {

/// True while RunMoonstoneDaemon runs; the script functions then talk to the controller.
extern bool daemonRunning;

/// Runs one session with the controller at 127.0.0.1:portNumber on the calling thread. True when
/// the controller ended it by closing the connection; false when a daemon already runs, or after
/// an error or a trapped fault, which is logged and, while connected, sent as a last "ERROR: "
/// reply. Throws only when sending that reply fails.
bool RunMoonstoneDaemon(int portNumber, const std::string& token);

}  // namespace moonstone

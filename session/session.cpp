// The handshake and the command loop with its 200 ms poll that keeps the host's messages flowing.
#include "session/session.h"

#include "log/log_stream.h"
#include "render/global_render_job.h"
#include "session/command_set.h"
#include "session/global_socket.h"
#include "session/message_pump.h"
#include "session/version_line.h"

#include <stdexcept>

namespace moonstone {

namespace {
const char* const controllerAddress = "127.0.0.1";
const char* const controllerGreeting = "FoxgloveStartup";
const int greetingTimeoutMs = 1000;
const int commandPollMs = 200;
}  // namespace

void runSession(int portNumber, const std::string& token) {
  using namespace tangram::win32;

  globalSocket.connect(controllerAddress, portNumber);
  if (!globalSocket.option_failure().empty())
    logStream << globalSocket.option_failure() << std::endl;
  globalSocket.send(token);
  const std::string greeting = globalSocket.receive(greetingTimeoutMs);
  if (greeting != controllerGreeting) {
    globalSocket.send(versionLine() + "   Incompatible plugin versions detected, exiting.");
    throw std::runtime_error("Incorrect handshake with Foxglove plugin.");
  }
  globalSocket.send(versionLine());

  while (globalSocket.is_connected()) {
    try {
      const std::string line = globalSocket.receive(commandPollMs);
      logStream << "\nGot command: " << line << std::endl << std::endl;
      dispatchCommand(renderJob, line, globalSocket);
    } catch (const simple_socket_timeout_error&) {
      pumpMessages();
    } catch (const simple_socket_disconnect_error&) {
      // The socket closed itself, so the loop ends normally.
    }
  }
}

}  // namespace moonstone

// The daemon's re-entry refusal, its guarded session and the ladder of error reports.
#include "session/daemon.h"

#include "log/log_stream.h"
#include "render/global_render_job.h"
#include "render/seh_guard.h"
#include "session/global_socket.h"
#include "session/session.h"
#include "tangram/max3d/maxscript/script_text.h"
#include "tangram/win32/seh_exception_name.h"

#include <max.h>
#include <maxscrpt/maxscrpt.h>

#include <iFnPub.h>
#include <maxscrpt/excepts.h>
#include <maxscrpt/streams.h>
#include <maxscrpt/strings.h>
#include <maxscrpt/numbers.h>
#include <maxscrpt/parser.h>
#include <maxscrpt/listener.h>
#include <windows.h>

#include <new>

namespace moonstone {

bool daemonRunning = false;

namespace {

const DWORD reportPauseMs = 150;

// Holds daemonRunning for the time of one call, however it is left.
class DaemonRunningGuard {
 public:
  DaemonRunningGuard() { daemonRunning = true; }
  ~DaemonRunningGuard() { daemonRunning = false; }
  DaemonRunningGuard(const DaemonRunningGuard&) = delete;
  DaemonRunningGuard& operator=(const DaemonRunningGuard&) = delete;
};

// The last reply of a session that ended in an error, when the connection still stands.
void reportError(const std::string& reply) {
  if (globalSocket.is_connected()) globalSocket.send(reply);
  Sleep(reportPauseMs);
}

// Runs the session under a structured-exception guard; a trapped fault leaves its text in
// faultText and the result false.
bool guardedSession(int portNumber, const std::string& token, std::string& faultText) {
  faultText.clear();
  bool result = false;
  DWORD code = 0;
  const bool returned = runGuarded(
      [&] {
        runSession(portNumber, token);
        logStream << "Returning TRUE" << std::endl;
        result = true;
      },
      renderJob.faultFilter(), code);
  if (!returned) {
    faultText = std::string("SEH Exception trapped in 3ds max: ") +
                tangram::win32::seh_exception_name(code);
  }
  return result;
}

}  // namespace

bool RunMoonstoneDaemon(int portNumber, const std::string& token) {
  logStream << "Thread: " << GetCurrentThreadId() << std::endl;
  if (daemonRunning) {
    const char* refusal = "RunMoonstoneDaemon() was executed while the daemon is already running.";
    logStream << refusal << std::endl;
    mprintf("%s\n", refusal);
    return false;
  }
  DaemonRunningGuard running;
  logStream << "running daemon..." << std::endl;

  bool result = false;
  std::string faultText;
  try {
    result = guardedSession(portNumber, token, faultText);
  } catch (const std::bad_alloc&) {
    logStream << "Exception: std::bad_alloc" << std::endl;
    reportError(
        "ERROR: Exception caught in 3ds max: Out of memory.  There was not enough memory "
        "available to fulfill a memory request.");
  } catch (const std::exception& error) {
    logStream << "Exception: " << error.what() << std::endl;
    reportError(std::string("ERROR: Exception caught in 3ds max: ") + error.what());
  } catch (const MAXException& error) {
    logStream << "MAXException: " << error.message.data() << std::endl;
    reportError(std::string("ERROR: MAXException caught in 3ds max: ") + error.message.data());
  } catch (MAXScriptException& error) {
    const std::string text = tangram::max3d::error_to_text(error);
    logStream << "Maxscript exception caught: " << text << std::endl;
    reportError("ERROR: Maxscript exception:" + text);
  } catch (...) {
    logStream << "Unknown exception caught" << std::endl;
    reportError("ERROR: Unknown exception caught. (3ds max may have crashed)");
  }
  if (!faultText.empty()) {
    logStream << "SEH exception caught" << std::endl;
    reportError("ERROR: SEH exception: " + faultText + "\n" + renderJob.lastFaultDescription);
  }
  return result;
}

}  // namespace moonstone

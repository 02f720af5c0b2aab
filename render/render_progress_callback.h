// The renderer's progress callback: passes titles and percentages to the controller, throttled,
// and stops the render when the controller says so or stops answering.
#pragma once

#include "tangram/win32/simple_socket.h"

#include <max.h>

#include <render.h>
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <string>

namespace moonstone {

/// One callback per renderer call. Progress sends at most one title and one progress request
/// per 100 ms (shared by every callback of the process), reads one answer within 100 ms, and
/// answers RENDPROG_ABORT for any answer but "CONTINUE" or after six unanswered requests in a
/// row. Requests that cannot be sent count as unanswered only when the socket was connected at
/// construction (a controller that hung up), never on an unconnected socket. Safe to call from the
/// renderer's own threads. The socket is borrowed.
class MoonstoneRenderCallback : public RendProgressCallback {
 public:
  /// For pass p of P of a multi-pass render: titlePrefix "Pass <p+1> of <P> - ",
  /// progressBase p*100/P and progressScale 1/P; otherwise "", 0 and 1.
  MoonstoneRenderCallback(tangram::win32::simple_socket& socket, const std::string& titlePrefix,
                          float progressBase, float progressScale);
  virtual ~MoonstoneRenderCallback();
  MoonstoneRenderCallback(const MoonstoneRenderCallback&) = delete;
  MoonstoneRenderCallback& operator=(const MoonstoneRenderCallback&) = delete;

  /// Keeps the renderer's title, without trailing line ends.
  void SetTitle(const MCHAR* title) override;
  /// Reports progress when due; RENDPROG_CONTINUE or RENDPROG_ABORT.
  int Progress(int done, int total) override;
  void SetSceneStats(int, int, int, int, int) override {}

  /// Requests sent since the last answer that arrived.
  uint32_t timeoutCount() const { return timeoutCount_.load(); }

  /// Forgets when the last request of the process was sent (for a new process or a test).
  static void resetThrottle();

 private:
  // Sends the title and progress requests and reads one answer; the lock is held.
  int exchange(int done, int total);

  tangram::win32::simple_socket& socket_;
  // Whether a controller listened when the renderer call began; the debug render has none.
  const bool controllerWasConnected_;
  CRITICAL_SECTION lock_;
  // Read before the lock is taken, possibly on another of the renderer's threads.
  std::atomic<uint32_t> timeoutCount_;
  std::string titlePrefix_;
  std::string title_;
  float progressBase_;
  float progressScale_;
};

}  // namespace moonstone

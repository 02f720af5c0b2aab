// Test helper: a controller on loopback that answers the plug-in's requests from its own thread
// while the test thread renders, and keeps every request it received.
#pragma once

#include "controller/link/controller_link.h"
#include "tangram/win32/simple_socket.h"

#include <mutex>
#include <string>
#include <thread>
#include <vector>

/// Connects `plugin` to a controller that answers every request as it arrives (PROGRESS with
/// progressAnswer, "CONTINUE" at first) until the plug-in's side is closed by the destructor.
class AnsweringController {
 public:
  AnsweringController();
  ~AnsweringController();
  AnsweringController(const AnsweringController&) = delete;
  AnsweringController& operator=(const AnsweringController&) = delete;

  void setProgressAnswer(const std::string& answer);
  /// The requests received so far, in order. Every request of a finished render is in: each
  /// progress exchange waits for its answer.
  std::vector<std::string> requests() const;

  /// The plug-in's end of the connection, to hand to the renderer.
  tangram::win32::simple_socket plugin;

 private:
  void serve();

  controller::ControllerLink link_;
  mutable std::mutex mutex_;
  std::string progressAnswer_ = "CONTINUE";
  std::vector<std::string> requests_;
  std::thread server_;
};

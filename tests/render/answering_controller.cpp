// The answering test controller: a thread that reads requests and answers them until hang-up.
#include "answering_controller.h"

namespace {
const int connectWaitMs = 10000;
const std::string progressRequest = "FUNCTION: PROGRESS ";
}  // namespace

AnsweringController::AnsweringController() {
  plugin.connect("127.0.0.1", link_.port());
  link_.accept(connectWaitMs);
  server_ = std::thread([this] { serve(); });
}

AnsweringController::~AnsweringController() {
  // The server's blocking read ends with the disconnection.
  plugin.close(true);
  server_.join();
}

void AnsweringController::setProgressAnswer(const std::string& answer) {
  std::lock_guard<std::mutex> lock(mutex_);
  progressAnswer_ = answer;
}

std::vector<std::string> AnsweringController::requests() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return requests_;
}

void AnsweringController::serve() {
  try {
    for (;;) {
      // Untimed: the tests may hold the tick count still.
      const std::string packet = link_.receive(-1);
      std::optional<std::string> answer;
      {
        std::lock_guard<std::mutex> lock(mutex_);
        requests_.push_back(packet);
        answer = packet.compare(0, progressRequest.size(), progressRequest) == 0
                     ? progressAnswer_
                     : link_.answers.answer(controller::classifyRequest(packet));
      }
      if (answer) link_.send(*answer);
    }
  } catch (const tangram::win32::simple_socket_error&) {
    // The plug-in's side was closed: the conversation is over.
  }
}

// Progress reporting to the controller: the throttle, the title and progress requests, the abort.
#include "render/render_progress_callback.h"

#include "log/log_stream.h"
#include "session/controller_requests.h"
#include "session/message_pump.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>

namespace moonstone {

namespace {

const uint32_t maxUnansweredRequests = 6;
const int throttleMs = 100;
const int answerTimeoutMs = 100;

// Shared by every callback of the process: when the last request went out, and whether it was
// for a call without a total.
std::atomic<DWORD> lastRequestTick{0};
std::atomic<bool> lastRequestHadNoTotal{true};

// Holds a critical section for one scope.
class SectionLock {
 public:
  explicit SectionLock(CRITICAL_SECTION& section) : section_(section) {
    EnterCriticalSection(&section_);
  }
  ~SectionLock() { LeaveCriticalSection(&section_); }
  SectionLock(const SectionLock&) = delete;
  SectionLock& operator=(const SectionLock&) = delete;

 private:
  CRITICAL_SECTION& section_;
};

bool isRenderingTitle(std::string title) {
  std::transform(title.begin(), title.end(), title.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return title == "rendering" || title.find("rendering image") != std::string::npos ||
         title.find("%  rendering") != std::string::npos;
}

}  // namespace

MoonstoneRenderCallback::MoonstoneRenderCallback(tangram::win32::simple_socket& socket,
                                                 const std::string& titlePrefix, float progressBase,
                                                 float progressScale)
    : socket_(socket),
      controllerWasConnected_(socket.is_connected()),
      timeoutCount_(0),
      titlePrefix_(titlePrefix),
      progressBase_(progressBase),
      progressScale_(progressScale) {
  InitializeCriticalSection(&lock_);
}

MoonstoneRenderCallback::~MoonstoneRenderCallback() {
  DeleteCriticalSection(&lock_);
}

void MoonstoneRenderCallback::resetThrottle() {
  lastRequestTick.store(0);
  lastRequestHadNoTotal.store(true);
}

void MoonstoneRenderCallback::SetTitle(const MCHAR* title) {
  SectionLock lock(lock_);
  title_ = title != nullptr ? title : "";
  while (!title_.empty() && (title_.back() == '\r' || title_.back() == '\n')) title_.pop_back();
}

int MoonstoneRenderCallback::Progress(int done, int total) {
  if (timeoutCount_ >= maxUnansweredRequests) {
    logStream << "timed out, aborting" << std::endl;
    return RENDPROG_ABORT;
  }
  {
    // The title is written by SetTitle under the lock, maybe on another thread.
    SectionLock lock(lock_);
    if (title_ == "Initializing Ray Server") return RENDPROG_CONTINUE;
  }

  const DWORD now = GetTickCount();
  const int32_t sinceLast = static_cast<int32_t>(now - lastRequestTick.load());
  const bool due = std::abs(static_cast<int64_t>(sinceLast)) >= throttleMs ||
                   (total != 0 && done >= total) || (lastRequestHadNoTotal && total > 0);
  if (!due) return RENDPROG_CONTINUE;
  lastRequestHadNoTotal.store(total < 1);
  lastRequestTick.store(now);

  pumpMessages();
  SectionLock lock(lock_);
  return exchange(done, total);
}

int MoonstoneRenderCallback::exchange(int done, int total) {
  const float percent =
      total != 0 ? static_cast<float>((std::min)(done, total)) * 100.0f / static_cast<float>(total)
                 : -1.0f;
  char formatted[64];
  std::snprintf(formatted, sizeof(formatted), "%.1f", percent);

  std::string reply;
  bool sent = false;
  try {
    if (percent > 0) {
      socket_.send(titleRequestText(titlePrefix_ + title_ + " - " + formatted + "%"));
      socket_.send(progressRequestText(
          isRenderingTitle(title_) ? percent * progressScale_ + progressBase_ : -1.0f));
    } else {
      socket_.send(progressRequestText(-1.0f));
    }
    // A request counts as unanswered only once it is out: a render without a controller (the
    // debug render's unconnected socket) fails every send and must still run to its end.
    sent = true;
    ++timeoutCount_;
    reply = socket_.receive(answerTimeoutMs);
  } catch (const tangram::win32::simple_socket_error& error) {
    // A controller that was there when the render began and has hung up gets no more requests
    // through; those count as unanswered, so that the render stops instead of running on alone.
    if (!sent && controllerWasConnected_) ++timeoutCount_;
    logStream << "caught simple socket excetion when handling progress: " << error.what()
              << " (timeout count = " << timeoutCount_ << ")" << std::endl;
    return RENDPROG_CONTINUE;
  }
  timeoutCount_ = 0;
  if (reply == "CONTINUE") return RENDPROG_CONTINUE;
  logStream << "response: " << reply << std::endl;
  return RENDPROG_ABORT;
}

}  // namespace moonstone

// The stall watchdog's arithmetic on the borrowed clock.
#include "controller/worker/session/watchdog.h"

namespace worker {

using std::chrono::milliseconds;

Watchdog::Watchdog(const Clock& clock, milliseconds limit)
    : clock_(clock), limit_(limit), last_(clock.now()) {}

void Watchdog::feed() {
  last_ = clock_.now();
}

bool Watchdog::expired() const {
  return limit_.count() > 0 && remaining().count() == 0;
}

milliseconds Watchdog::remaining() const {
  if (limit_.count() <= 0) return milliseconds::max();
  const auto silent = std::chrono::duration_cast<milliseconds>(clock_.now() - last_);
  return silent >= limit_ ? milliseconds(0) : limit_ - silent;
}

}  // namespace worker

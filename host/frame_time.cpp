// Frame numbers to host time, refusing frames whose time the host cannot hold.
#include "host/frame_time.h"

#include <max.h>

#include <maxapi.h>

#include <limits>
#include <stdexcept>
#include <string>

namespace moonstone {

TimeValue frameTime(std::int64_t frame) {
  // Taken wide: a frame number from the controller times the ticks per frame may not fit.
  const std::int64_t ticks = frame * GetTicksPerFrame();
  if (ticks < (std::numeric_limits<TimeValue>::min)() ||
      ticks > (std::numeric_limits<TimeValue>::max)()) {
    throw std::runtime_error("Frame " + std::to_string(frame) +
                             " lies outside the host's time range");
  }
  return static_cast<TimeValue>(ticks);
}

}  // namespace moonstone

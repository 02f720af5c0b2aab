// The host's time of a frame number.
#pragma once

#include <max.h>

#include <maxtypes.h>

#include <cstdint>

namespace moonstone {

/// The time of the frame in ticks (frame × GetTicksPerFrame()). Throws std::runtime_error
/// "Frame <frame> lies outside the host's time range" when the time does not fit a TimeValue.
TimeValue frameTime(std::int64_t frame);

}  // namespace moonstone

// The table of a render's frames printed at its end.
#pragma once

#include "controller/common/frame_record.h"

#include <ostream>
#include <vector>

namespace worker {

/// Prints the table: one row per frame, a further row per further file; a failed frame's row
/// shows the first line of its reason, and its files follow below.
void printSummary(std::ostream& out, const std::vector<controller::FrameRecord>& records);

}  // namespace worker

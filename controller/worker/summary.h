// The table of frames printed at the end of a render: frame, status, time and files.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace worker {

/// What became of one frame.
struct FrameRecord {
  int frame = 0;
  bool succeeded = false;
  double seconds = 0;
  /// The files the frame produced, as local paths.
  std::vector<std::string> files;
  /// Why the frame failed (first line shown).
  std::string reason;
};

/// Prints the table: one row per frame, a further row per further file; a failed frame's row
/// shows the first line of its reason, and its files follow below.
void printSummary(std::ostream& out, const std::vector<FrameRecord>& records);

}  // namespace worker

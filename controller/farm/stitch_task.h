// The last task of a tiled farm job: puts every frame's tiles together into the real drives.
#pragma once

#include <ostream>
#include <string>

namespace farm {

/// Stitches the frames of the stitching task's attempt: for each frame, the files of every tile
/// task's done record (from their summaries, any attempt), grouped by the name they have in
/// the real drive, are read, put together, written there and read back. Prints the worker's
/// FRAME and FILE lines on out and writes the task's summary in the worker's shape. Returns
/// 0 when every frame was stitched, 1 otherwise, 2 when the job folder cannot be read.
int runStitch(const std::string& directory, int attempt, std::ostream& out);

}  // namespace farm

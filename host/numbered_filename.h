// Output file names with the frame number put in, the host's way.
#pragma once

#include <string>

namespace moonstone {

/// The name with the number put in by the host (BMMCreateNumberedFilename): "shot.tga", 5 ->
/// "shot0005.tga". Throws std::runtime_error when the result would be longer than a path may be.
std::string numberedFilename(const std::string& name, int number);

}  // namespace moonstone

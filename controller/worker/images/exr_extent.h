// Whether an OpenEXR file holds all that its header and offset table promise.
#pragma once

#include <string>

namespace worker {

/// True when the bytes of an OpenEXR file end before its header, its offset table or a block of
/// pixels that the table points to does. False for a whole file, and for the layouts that this
/// check does not follow (tiled, multi-part and deep files, or a table entry that points inside
/// the header), which the decoder judges alone.
bool exrEndsEarly(const std::string& file);

}  // namespace worker

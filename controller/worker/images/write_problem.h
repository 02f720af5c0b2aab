// Why an image file could not be written, as far as the worker can see it from outside.
#pragma once

#include <optional>
#include <string>

namespace worker {

/// What keeps a file from being written at path, when something visible does: the name is a
/// folder, its folder does not exist, its folder is read-only, or its disk has no space left.
/// Nothing when none of these shows (the reason is then the plug-in's alone).
std::optional<std::string> writeProblem(const std::string& path);

}  // namespace worker

// Raising a MAXScript runtime error with a text built by the plug-in.
#pragma once

#include <string>

namespace tangram {
namespace max3d {

/// Throws a MAXScript RuntimeError carrying the text (the host's constructor takes a writable
/// buffer, which the error copies).
[[noreturn]] void throw_runtime_error(const std::string& text);

}  // namespace max3d
}  // namespace tangram

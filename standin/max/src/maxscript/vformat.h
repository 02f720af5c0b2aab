// printf-style formatting into a std::string, shared by the stream and listener printers.
#pragma once

#include <cstdarg>
#include <string>

namespace mxs {
/// The text that vprintf would write for the format and arguments.
std::string vformat(const char* format, va_list args);
}  // namespace mxs

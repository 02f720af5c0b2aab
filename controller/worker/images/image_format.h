// Which image format a file holds, by its first bytes, and which one its name promises.
#pragma once

#include <string>

namespace worker {

/// The format the file's extension names ("Targa", "PNG", "JPEG", "BMP", "OpenEXR"), empty for
/// an extension that names none of them.
std::string formatOfName(const std::string& path);

/// The format the file's first bytes show; Targa, which has no signature, for any other file.
/// Empty when the file cannot be read.
std::string formatOfContent(const std::string& path);

/// Why the file's content does not match its name ("holds Targa data but is named as PNG"),
/// empty when it does or when the name promises no known format.
std::string formatMismatch(const std::string& path);

}  // namespace worker

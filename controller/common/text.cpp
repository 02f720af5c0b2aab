// Escaping control characters for lines that farm managers parse.
#include "controller/common/text.h"

#include <cstdio>

namespace controller {

std::string escapeControls(const std::string& text) {
  std::string safe;
  safe.reserve(text.size());
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\r') {
      safe += "\\r";
    } else if (c == '\n') {
      safe += "\\n";
    } else if (c == '\t') {
      safe += "\\t";
    } else if (byte < 0x20 || byte == 0x7f) {
      char escaped[5];
      std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
      safe += escaped;
    } else {
      safe += c;
    }
  }
  return safe;
}

}  // namespace controller

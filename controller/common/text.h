// Small text helpers shared by the controller's files.
#pragma once

#include <string>

namespace controller {

/// True when text begins with prefix.
inline bool startsWith(const std::string& text, const std::string& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

/// The text on one line, safe to print: carriage returns, line feeds, tabs and the other control
/// characters written as \r, \n, \t and \xNN, so that text from the plug-in or a scene cannot
/// start a line of its own or move the cursor. Bytes from 0x80 up (UTF-8) stay as they are.
std::string escapeControls(const std::string& text);

}  // namespace controller

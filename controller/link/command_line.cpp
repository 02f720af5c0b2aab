// Escaping command-line fields for the plug-in's escaped-list splitting.
#include "controller/link/command_line.h"

namespace controller {

std::string commandLine(const std::vector<std::string>& fields) {
  std::string line;
  for (size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) line += ',';
    for (const char c : fields[i]) {
      if (c == '\\' || c == '"' || c == ',') {
        line += '\\';
        line += c;
      } else if (c == '\n') {
        line += "\\n";
      } else {
        line += c;
      }
    }
  }
  return line;
}

}  // namespace controller

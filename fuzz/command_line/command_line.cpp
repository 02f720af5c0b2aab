// Fuzz target: the controller's command-line splitter fed arbitrary lines.
#include "session/command_line.h"

#include <boost/tokenizer.hpp>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

// The fields cannot hold more characters than the line: quotes and escapes only ever remove
// characters, and separators are not copied.
void checkFieldsFitTheLine(const std::string& line, const std::vector<std::string>& fields) {
  size_t characters = 0;
  for (const std::string& field : fields) characters += field.size();
  if (characters > line.size()) std::abort();
  if (!line.empty() && fields.empty()) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string line(reinterpret_cast<const char*>(data), size);
  try {
    checkFieldsFitTheLine(line, moonstone::splitCommandLine(line));
  } catch (const boost::escaped_list_error&) {
    // "unknown escape sequence" and "cannot end with escape": the documented refusals.
  }
  return 0;
}

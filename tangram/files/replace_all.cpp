// Replacing every occurrence of a text inside another, left to right.
#include "tangram/files/replace_all.h"

namespace tangram::files {

std::string replace_all(std::string text, const std::string& what, const std::string& with) {
  // An empty text occurs everywhere; replacing it would never end.
  if (what.empty()) return text;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + with.size()))
    text.replace(at, what.size(), with);
  return text;
}

}  // namespace tangram::files

// Small text helpers shared by the worker's files.
#pragma once

#include <string>

namespace controller {

/// True when text begins with prefix.
inline bool startsWith(const std::string& text, const std::string& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace controller

// The plug-in's requests as the worker shows them: titles, script output, progress, look-ups.
#pragma once

#include <string>

namespace controller {

/// One "FUNCTION: " packet, sorted by what the worker does with it besides answering.
struct Request {
  enum class Kind { Title, Output, Progress, LookUp };
  Kind kind;
  /// Title: the title text; Output: the line; LookUp: the request without "FUNCTION: ".
  std::string text;
  /// Progress: the percentage, or a negative value when the plug-in has none.
  float percent = -1;
};

/// Sorts a request packet (one that begins with "FUNCTION: "). A progress value that is not a
/// number counts as no percentage.
Request classifyRequest(const std::string& packet);

}  // namespace controller

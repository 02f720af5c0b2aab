// Replacing every occurrence of a text inside another.
#pragma once

#include <string>

namespace tangram::files {

/// `text` with every occurrence of `what` replaced by `with`, found from the left; the search
/// resumes after each replacement, so replacements never overlap and what a replacement wrote is
/// not matched again at its own first character. An empty `what` leaves the text as it is.
std::string replace_all(std::string text, const std::string& what, const std::string& with);

}  // namespace tangram::files

// Splitting a controller command line into its fields.
#pragma once

#include <string>
#include <vector>

namespace moonstone {

/// Splits by ',' with '"' quoting and '\' escapes (\n, \\, \, and \" only); nothing is trimmed,
/// empty fields count, an empty line gives no field. Throws boost::escaped_list_error
/// "unknown escape sequence" or "cannot end with escape" (a std::runtime_error).
std::vector<std::string> splitCommandLine(const std::string& line);

}  // namespace moonstone

// The built-in functions scripts can call: print, format, execute, gc, getCurrentException.
#pragma once

#include <string>

class Value;

namespace mxs {
/// The built-in function of that (lower-case) name, or null.
Value* find_builtin(const std::string& name);
/// Records the printed form of the error that a running catch handler handles, for
/// getCurrentException().
void set_current_exception(const std::string& printed);
}  // namespace mxs

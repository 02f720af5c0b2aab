// Global variables: one table per process, a root of the collector.
#pragma once

#include <string>

class Value;

namespace mxs {
/// The global of that (lower-case) name, or null.
Value* get_global(const std::string& name);
/// Sets (or creates) the global of that (lower-case) name.
void set_global(const std::string& name, Value* value);
}  // namespace mxs

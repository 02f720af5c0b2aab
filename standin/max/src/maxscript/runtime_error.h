// Raising a MAXScript runtime error with a text the interpreter builds.
#pragma once

#include <string>

/// Throws a RuntimeError carrying the text.
[[noreturn]] void throw_runtime_error(const std::string& text);

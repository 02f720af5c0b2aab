// Printed forms of MAXScript values and errors as text, for messages.
#pragma once

#include "maxscript/maxscript.h"

#include <string>

namespace tangram {
namespace max3d {

/// The value's readable printed form (what print shows: strings in double quotes).
std::string value_to_text(Value* value);

/// The error's printed form, e.g. "-- Runtime error: text".
std::string error_to_text(const MAXScriptException& error);

}  // namespace max3d
}  // namespace tangram

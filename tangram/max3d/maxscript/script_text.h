// Printed forms of MAXScript values and errors as text, for messages.
#pragma once

#include "max.h"
#include "maxscrpt/maxscrpt.h"

#include "maxscrpt/excepts.h"
#include "maxscrpt/streams.h"
#include "maxscrpt/strings.h"
#include "maxscrpt/numbers.h"
#include "maxscrpt/parser.h"
#include "maxscrpt/listener.h"

#include <string>

namespace tangram {
namespace max3d {

/// The value's readable printed form (what print shows: strings in double quotes).
std::string value_to_text(Value* value);

/// The error's printed form, e.g. "-- Runtime error: text".
std::string error_to_text(const MAXScriptException& error);

}  // namespace max3d
}  // namespace tangram

// Running MAXScript from plug-in code: script files, streams and texts, with errors as std errors.
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

/// Runs every expression of a script file; gives the last result (ok for a file without
/// expressions), also left in the thread's current_result. A file that cannot be opened, or a
/// MAXScript error in it, throws std::runtime_error "MAXScriptException: " + the error's printed
/// form; nothing of a file that cannot be opened is run. The file is closed on every path. The
/// result is the caller's to protect from the collector.
Value* run_script_file(const std::string& path);

/// Compiles and evaluates expression after expression until the source ends, then closes it;
/// gives the last result (ok when there was none), also left in current_result. A MAXScript
/// error throws std::runtime_error "MAXScriptException: " + its printed form; standard errors
/// pass unchanged. The source is closed in both cases.
Value* evaluate_stream(CharStream* source);

/// Runs a script text as the execute function does; gives its last result, also left in
/// current_result. A MAXScript error throws std::runtime_error with the error's printed form
/// alone.
Value* evaluate_script_text(const std::string& text);

}  // namespace max3d
}  // namespace tangram

// The MAXScript engine's runner for the scripts a scene carries into a render.
#pragma once

#include "sdk_exports.h"

#include <string>

/// Runs a scene script's text with the MAXScript engine on the calling (rendering) thread. A
/// script error throws std::runtime_error carrying the error's printed form, which fails the
/// render. The engine installs this runner with SetSceneScriptRunner when it is loaded; a host
/// reset removes it, and it may be installed again.
ScripterExport void run_scene_script(const std::string& text);

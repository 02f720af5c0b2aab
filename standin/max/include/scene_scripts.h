// Scene scripts: script text that a scene runs during a render, and the engine that runs it.
#pragma once

#include "sdk_exports.h"

#include <functional>
#include <string>

/// Runs one scene script text on the calling (rendering) thread; throws to fail the render.
using SceneScriptRunner = std::function<void(const std::string& scriptText)>;
/// The script engine installs its runner here at start-up; null when no engine is loaded.
CoreExport void SetSceneScriptRunner(SceneScriptRunner runner);

// Host-wide state shared by the core's parts: the installed scene-script runner, default actions.
#pragma once

#include "scene_scripts.h"

namespace standin {
/// The runner the script engine installed (empty when none).
SceneScriptRunner sceneScriptRunner();
/// Every kind of missing data back to DEFAULTACTION_FAIL.
void resetDefaultActions();
}  // namespace standin

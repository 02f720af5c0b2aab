// Host-wide state shared by the core's parts: the installed scene-script runner, default actions.
#pragma once

#include "scene_scripts.h"

class DefaultActionSys;

namespace standin {
/// The runner the script engine installed (empty when none).
SceneScriptRunner sceneScriptRunner();
/// Every kind of missing data back to failing the load.
void resetDefaultActions();
/// The host's one default-action system.
DefaultActionSys* defaultActionSys();
}  // namespace standin

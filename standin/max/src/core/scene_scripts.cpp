// The scene-script runner that the script engine installs, and its use by the renderer.
#include "scene_scripts.h"

#include "core/host_state.h"

#include <mutex>

namespace standin {

namespace {
std::mutex runnerMutex;
SceneScriptRunner installedRunner;
}  // namespace

SceneScriptRunner sceneScriptRunner() {
  std::lock_guard<std::mutex> hold(runnerMutex);
  return installedRunner;
}

}  // namespace standin

void SetSceneScriptRunner(SceneScriptRunner runner) {
  std::lock_guard<std::mutex> hold(standin::runnerMutex);
  standin::installedRunner = std::move(runner);
}

// The scene-script runner that the script engine installs, and its use by the renderer.
#include "scene_scripts.h"

#include "core/host_state.h"

#include <mutex>

namespace standin {

namespace {
std::mutex runnerMutex;

// The slot is made on first use: the engine installs its runner from a static initialiser of
// another file, and the order of those differs between linkers and systems.
SceneScriptRunner& installedRunner() {
  static SceneScriptRunner runner;
  return runner;
}
}  // namespace

SceneScriptRunner sceneScriptRunner() {
  std::lock_guard<std::mutex> hold(runnerMutex);
  return installedRunner();
}

}  // namespace standin

void SetSceneScriptRunner(SceneScriptRunner runner) {
  std::lock_guard<std::mutex> hold(standin::runnerMutex);
  standin::installedRunner() = std::move(runner);
}

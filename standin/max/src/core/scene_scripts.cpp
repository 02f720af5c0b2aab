// The scene-script runner that the script engine installs, and its use by the renderer.
#include "scene_scripts.h"

#include "core/host_state.h"

#include <mutex>

namespace standin {

namespace {
// The slot is built on first use: the script engine installs its runner while the library's
// static objects are initialised, in whatever order the linker chose, and a slot initialised
// after that would drop the runner.
struct RunnerSlot {
  std::mutex mutex;
  SceneScriptRunner runner;
};

RunnerSlot& runnerSlot() {
  static RunnerSlot slot;
  return slot;
}
}  // namespace

SceneScriptRunner sceneScriptRunner() {
  RunnerSlot& slot = runnerSlot();
  std::lock_guard<std::mutex> hold(slot.mutex);
  return slot.runner;
}

}  // namespace standin

void SetSceneScriptRunner(SceneScriptRunner runner) {
  standin::RunnerSlot& slot = standin::runnerSlot();
  std::lock_guard<std::mutex> hold(slot.mutex);
  slot.runner = std::move(runner);
}

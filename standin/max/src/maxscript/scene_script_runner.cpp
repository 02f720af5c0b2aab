// The scene-script runner: the engine evaluates a scene's scripts, installed when maxcore loads.
#include "maxscrpt/scene_script_runner.h"

#include "max.h"
#include "maxscrpt/maxscrpt.h"

#include "maxscrpt/excepts.h"
#include "maxscrpt/streams.h"
#include "maxscrpt/strings.h"
#include "maxscrpt/numbers.h"
#include "maxscrpt/parser.h"
#include "maxscrpt/listener.h"
#include "scene_scripts.h"

#include <stdexcept>

void run_scene_script(const std::string& text) {
  one_value_local(source);
  try {
    auto* source = new StringStream(text);
    vl.source = source;
    source->execute_vf(nullptr, 0);
  } catch (const MAXScriptException& error) {
    pop_value_locals();
    throw std::runtime_error(error.printed());
  } catch (...) {
    pop_value_locals();
    throw;
  }
  pop_value_locals();
}

namespace {
// The engine is the scene runner from the moment the library is loaded.
const bool installed = (SetSceneScriptRunner(run_scene_script), true);
}  // namespace

// Reading a scene file's render size (the scene files are JSON; docs/scene-format.md).
#include "controller/farm/scene_size.h"

#include <nlohmann/json.hpp>

#include <fstream>

namespace farm {

std::pair<int, int> sceneRenderSize(const std::string& path) {
  std::ifstream in(path);
  if (!in) throw SceneSizeError("cannot read the scene " + path);
  try {
    const nlohmann::json scene = nlohmann::json::parse(in);
    if (scene.value("format", "") != "moonstone-scene")
      throw SceneSizeError(path + " is not a scene file");
    const nlohmann::json render = scene.value("render", nlohmann::json::object());
    return {render.value("width", 640), render.value("height", 480)};
  } catch (const nlohmann::json::exception& error) {
    throw SceneSizeError(path + ": " + error.what());
  }
}

}  // namespace farm

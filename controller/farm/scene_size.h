// The render size a scene file asks for, which a tiled farm job must know before any task runs.
#pragma once

#include <stdexcept>
#include <string>
#include <utility>

namespace farm {

/// A scene whose render size cannot be read.
class SceneSizeError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

/// The scene's render width and height (the scene file's "render" settings; 640 x 480 when it
/// gives none). Throws SceneSizeError when the file cannot be read or is not a scene file.
std::pair<int, int> sceneRenderSize(const std::string& path);

}  // namespace farm

// Test fixture for the render engine: a fresh stand-in host, drive C in a temporary folder with
// the log in it, scene files written there, and a job state of the test's own.
#pragma once

#include "render/render_job.h"
#include "support/log_capture.h"

#include <maxsim_state.h>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <string>

/// Each test gets a reset host, drive C mapped to its own temporary folder (removed afterwards)
/// and a RenderJob built after the mapping, so that the job's log lands there.
class JobTest : public ::testing::Test {
 public:
  /// A 64x48 scene with camera "Camera01" shown in the active viewport, a box node "Box01", and
  /// its output saved to C:\renders\shot.png.
  static nlohmann::json scene() {
    return nlohmann::json::parse(R"({
      "format": "moonstone-scene",
      "render": {"width": 64, "height": 48, "output": "C:\\renders\\shot.png"},
      "image": {
        "background": [0.1, 0.2, 0.3, 1],
        "shapes": [{"type": "disc", "color": [1, 0, 0, 1], "radius": 0.25,
                    "keys": [{"frame": 0, "x": 0.5, "y": 0.5}]}]
      },
      "nodes": [{"name": "Camera01", "camera": {}}, {"name": "Box01", "object": {}}],
      "viewport": {"camera": "Camera01"}
    })");
  }

 protected:
  JobTest() { standin::reset_host(); }
  ~JobTest() override { standin::reset_host(); }

  /// Writes a file under drive C; returns its Windows name ("C:\" + the relative name with
  /// backslashes).
  std::string writeFile(const std::string& relative, const std::string& text) const {
    const std::filesystem::path file = onDisk(relative);
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file) << text;
    return windowsName(relative);
  }

  /// Writes the scene as C:\scenes\<name>; returns that name.
  std::string writeScene(const nlohmann::json& document, const std::string& name = "scene.max") {
    return writeFile("scenes/" + name, document.dump());
  }

  /// Writes the scene and starts the job on it.
  void startJob(const nlohmann::json& document, const std::string& camera = "") {
    job.StartJob(writeScene(document), camera);
  }

  /// Where a name relative to drive C is on disk.
  std::filesystem::path onDisk(const std::string& relative) const { return log.drive() / relative; }

  static std::string windowsName(std::string relative) {
    for (char& c : relative) {
      if (c == '/') c = '\\';
    }
    return "C:\\" + relative;
  }

  LogCapture log;
  moonstone::RenderJob job;
};

// The frame-rendering fixture: host reset, drives, scenes, the job and image read-back.
#include "frame_fixture.h"

#include "render/render_progress_callback.h"
#include "support/tick_count.h"

#include <maxsim_state.h>
#include <stb_image.h>
#include <windows.h>

#include <fstream>
#include <memory>

FrameTest::FrameTest() : driveR('R') {
  standin::reset_host();
  // With the clock held still, each renderer call sends exactly its first and its last progress
  // request, and every answer is waited for however long the machine takes.
  freezeTickCount(50000);
  moonstone::MoonstoneRenderCallback::resetThrottle();
}

FrameTest::~FrameTest() {
  if (job.jobRunning) job.EndJob();
  thawTickCount();
  standin::reset_host();
}

nlohmann::json FrameTest::scene() {
  return nlohmann::json::parse(R"({
    "format": "moonstone-scene",
    "render": {"width": 16, "height": 8, "output": "R:\\out\\shot.tga"},
    "image": {
      "background": [0, 0, 1, 1],
      "shapes": [{"type": "disc", "color": [1, 0, 0, 1], "radius": 0.25,
                  "keys": [{"frame": 0, "x": 0.25, "y": 0.5}, {"frame": 10, "x": 0.75, "y": 0.5}]}]
    },
    "nodes": [{"name": "Camera01", "camera": {}}],
    "viewport": {"camera": "Camera01"},
    "render_elements": {"active": true, "elements": [
      {"name": "Alpha", "kind": "alpha", "output": "R:\\out\\elements\\alpha.tga"},
      {"name": "Shapes", "kind": "shapes", "output": "R:\\out\\elements\\shapes.tga"}]}
  })");
}

nlohmann::json FrameTest::multiPassScene() {
  nlohmann::json s = scene();
  s["nodes"][0]["camera"]["multipass"] = {{"enabled", true}, {"passes", 4}, {"spread", 3.0}};
  s["render_elements"]["elements"] = nlohmann::json::array(
      {{{"name", "Beauty"}, {"kind", "beauty"}, {"output", "R:\\out\\elements\\beauty.tga"}}});
  return s;
}

void FrameTest::startJob(const nlohmann::json& sceneJson) {
  const std::filesystem::path file = onDriveR("scene.max");
  std::ofstream(file) << sceneJson.dump();
  job.StartJob(file.string(), "Camera01");
}

unsigned short FrameTest::render(unsigned frame) {
  return job.RenderFrame(frame, controller.plugin);
}

std::filesystem::path FrameTest::onDriveR(const std::string& relative) const {
  return driveR.path() / relative;
}

RgbaImage FrameTest::readImage(const std::string& relative) const {
  RgbaImage image;
  int channels = 0;
  const std::string file = onDriveR(relative).string();
  const std::unique_ptr<unsigned char, void (*)(void*)> data(
      stbi_load(file.c_str(), &image.width, &image.height, &channels, 4), stbi_image_free);
  EXPECT_NE(data, nullptr) << "cannot read " << file;
  if (data) image.rgba.assign(data.get(), data.get() + image.width * image.height * 4);
  return image;
}

bool FrameTest::frameBitmapsReleased() const {
  for (PBBitmap* output : job.elementBitmaps) {
    if (output && output->bm) return false;
  }
  return job.elementAccumulators.empty();
}

// The host test fixture: temporary folders and the small scene most tests render.
#include "host_fixture.h"

#include "render/trapped_call.h"

#include <fstream>

std::string HostTest::writeFile(const std::string& name, const std::string& text) const {
  const std::string file = path(name);
  std::ofstream(file) << text;
  return file;
}

nlohmann::json HostTest::smallScene() {
  return nlohmann::json::parse(R"({
    "format": "moonstone-scene",
    "render": {"width": 16, "height": 8},
    "image": {
      "background": [0, 0, 1, 1],
      "shapes": [{"type": "disc", "color": [1, 0, 0, 1], "radius": 0.25,
                  "keys": [{"frame": 0, "x": 0.25, "y": 0.5}, {"frame": 10, "x": 0.75, "y": 0.5}]}]
    },
    "nodes": [{"name": "Camera01", "camera": {}}],
    "viewport": {"camera": "Camera01"}
  })");
}

void HostTest::load(const nlohmann::json& scene) {
  const std::string file = writeFile("scene.max", scene.dump());
  ASSERT_TRUE(GetCOREInterface8()->LoadFromFile(file.c_str(), 6));
}

BMM_Color_fl pixel(Bitmap* bitmap, int x, int y) {
  BMM_Color_fl colour;
  EXPECT_TRUE(bitmap->GetPixels(x, y, 1, &colour)) << "pixel " << x << "," << y;
  return colour;
}

std::string HostTest::faultOf(const std::function<void()>& call) {
  std::string report;
  const moonstone::FaultFilter filter(report);
  std::string errorText;
  moonstone::trappedCall("call", errorText, filter, call);
  const std::string prefix = "Trapped SEH Exception in call(): ";
  return errorText.rfind(prefix, 0) == 0 ? errorText.substr(prefix.size()) : errorText;
}

// Scene scripts run by the engine during a render, calling a published interface mid-frame.
#include "maxscrpt/scene_script_runner.h"
#include "tangram/max3d/fp_wrapper.h"

#include "support/listener_capture.h"
#include "support/temp_folder.h"

#include <max.h>

#include <bmmlib.h>
#include <maxapi.h>
#include <maxsim_state.h>
#include <scene_scripts.h>

#include <nlohmann/json.hpp>

#include <fstream>
#include <memory>

namespace {

using nlohmann::json;
using tangram::FPWrapper::HVCreateDescriptor;
using tangram::FPWrapper::HVStaticInterface;

/// Counts the renderer's progress calls.
class CountingCallback : public RendProgressCallback {
 public:
  void SetTitle(const MCHAR*) override {}
  int Progress(int, int) override {
    ++calls;
    return RENDPROG_CONTINUE;
  }
  int calls = 0;
};

/// What scene scripts call: records each mark with the progress calls made before it.
class SceneProbe : public HVStaticInterface<SceneProbe, FP_CORE> {
 public:
  explicit SceneProbe(const CountingCallback& callback) : callback_(callback) {
    HVCreateDescriptor<SceneProbe> d(this, Interface_ID(0x5CE4E001u, 0x5CE4E002u), "SceneProbe",
                                     nullptr);
    d.add_function(&SceneProbe::Mark, "Mark", "text");
  }
  void Mark(const std::string& text) {
    marks.push_back(text + " after " + std::to_string(callback_.calls));
  }
  std::vector<std::string> marks;

 private:
  const CountingCallback& callback_;
};

struct BitmapDeleter {
  void operator()(Bitmap* bitmap) const { bitmap->DeleteThis(); }
};

class SceneScripts : public ListenerCapture {
 protected:
  void TearDown() override {
    // A host reset removes the runner; the engine's runner is put back for the next test.
    standin::reset_host();
    SetSceneScriptRunner(run_scene_script);
    ListenerCapture::TearDown();
  }

  /// Loads a 16x8 scene carrying the scripts and renders frame 0; the render's result.
  int render(const json& scripts) {
    json scene = json::parse(R"({
      "format": "moonstone-scene",
      "render": {"width": 16, "height": 8},
      "image": {"background": [0, 0, 1, 1]},
      "nodes": [{"name": "Camera01", "camera": {}}],
      "viewport": {"camera": "Camera01"}
    })");
    scene["scripts"] = scripts;
    const std::string file = (folder.path() / "scene.max").string();
    std::ofstream(file) << scene.dump();
    Interface* core = GetCOREInterface();
    if (!GetCOREInterface8()->LoadFromFile(file.c_str(), 6)) return -1;
    if (!core->OpenCurRenderer(core->GetINodeByName("Camera01"), nullptr, RENDTYPE_NORMAL, 16, 8)) {
      return -1;
    }
    BitmapInfo info;
    info.SetWidth(16);
    info.SetHeight(8);
    std::unique_ptr<Bitmap, BitmapDeleter> bitmap(TheManager->Create(&info));
    const int result = core->CurRendererRenderFrame(0, bitmap.get(), &callback);
    core->CloseCurRenderer();
    return result;
  }

  TempFolder folder;
  CountingCallback callback;
  SceneProbe probe{callback};
};

TEST_F(SceneScripts, TheEngineIsTheRunnerOnceLoadedAndScriptsCallInterfacesMidFrame) {
  ASSERT_TRUE(render(json::parse(R"([
      {"text": "SceneProbe.Mark \"before\""},
      {"text": "SceneProbe.Mark (\"row \" + \"3\")\nprint \"listener\"", "row": 3}])")));
  EXPECT_EQ(probe.marks, (std::vector<std::string>{"before after 0", "row 3 after 4"}));
  EXPECT_EQ(listener(), "\"listener\"\n");
}

TEST_F(SceneScripts, AScriptErrorFailsTheRenderAndIsLoggedWithItsPrintedForm) {
  ::testing::internal::CaptureStderr();
  const int result = render(json::parse(R"([
      {"text": "SceneProbe.Mark \"before\""},
      {"text": "throw \"bad scene\"", "row": 2},
      {"text": "SceneProbe.Mark \"never\"", "row": 5}])"));
  const std::string logged = ::testing::internal::GetCapturedStderr();
  EXPECT_FALSE(result);
  EXPECT_EQ(probe.marks, (std::vector<std::string>{"before after 0"}));
  EXPECT_NE(logged.find("-- Runtime error: bad scene"), std::string::npos) << logged;
}

TEST_F(SceneScripts, TheRunnerThrowsTheErrorsPrintedFormAsAStandardError) {
  try {
    run_scene_script("x = 1\nundefined + x");
    FAIL() << "no error";
  } catch (const std::runtime_error& error) {
    EXPECT_STREQ(error.what(), "-- No \"\"+\"\" function for undefined");
  }
}

}  // namespace

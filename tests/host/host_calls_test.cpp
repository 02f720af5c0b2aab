// The plug-in's host layer against the stand-in host: default actions, scene files, renderer
// requirements, cameras, numbered names, the frame buffer and render elements.
#include "standin/max/host_fixture.h"

#include "host/cameras.h"
#include "host/class_ids.h"
#include "host/default_actions.h"
#include "host/frame_buffer.h"
#include "host/numbered_filename.h"
#include "host/render_elements.h"
#include "host/renderer_requirements.h"
#include "host/scene_file.h"

#include <stdexcept>

using namespace moonstone;

using nlohmann::json;

using HostLayerTest = HostTest;

TEST_F(HostLayerTest, MissingDataActionsRoundTripPerKind) {
  const MissingData kinds[] = {MissingData::ExternalFiles, MissingData::DLLs, MissingData::XREFs,
                               MissingData::UVWs};
  for (MissingData kind : kinds) EXPECT_FALSE(missingDataIgnored(kind));
  setMissingDataIgnored(MissingData::XREFs, true);
  EXPECT_EQ(standin::default_action(3), 1u);
  EXPECT_TRUE(missingDataIgnored(MissingData::XREFs));
  EXPECT_FALSE(missingDataIgnored(MissingData::UVWs));
  setMissingDataIgnored(MissingData::XREFs, false);
  EXPECT_EQ(standin::default_action(3), 5u);
}

TEST_F(HostLayerTest, SceneFilesAreCheckedAndLoaded) {
  const std::string scene = writeFile("scene.max", smallScene().dump());
  const std::string other = writeFile("notes.txt", "hello");
  Interface8* core = GetCOREInterface8();
  EXPECT_TRUE(isSceneFile(core, scene));
  EXPECT_FALSE(isSceneFile(core, other));
  EXPECT_TRUE(loadSceneFile(core, scene));
  EXPECT_FALSE(loadSceneFile(core, other));
  // The host's flag values, and the word an unattended load passes: no prompts, the file's units.
  EXPECT_EQ(Interface8::kRefreshViewports, 0x01);
  EXPECT_EQ(Interface8::kSuppressPrompts, 0x02);
  EXPECT_EQ(Interface8::kUseFileUnits, 0x04);
  EXPECT_EQ(standin::last_load_flags(), 6u);
}

TEST_F(HostLayerTest, SceneFileLoadPassesHostExceptionsOn) {
  json scene = smallScene();
  scene["faults"] = {{{"kind", "load_exception"}, {"message", "bad"}}};
  const std::string file = writeFile("scene.max", scene.dump());
  EXPECT_THROW(loadSceneFile(GetCOREInterface8(), file), MAXException);
}

TEST_F(HostLayerTest, RendererRequirementsComeFromTheScene) {
  json scene = smallScene();
  scene["render"]["renderer"] = {{"requirements", {3}}};
  load(scene);
  EXPECT_TRUE(rendererRequires(GetCOREInterface(),
                               IRendererRequirements::kRequirement8_Wants32bitFPOutput));
  EXPECT_FALSE(rendererRequires(GetCOREInterface(),
                                IRendererRequirements::kRequirement_DontSaveRenderOutput));
}

TEST_F(HostLayerTest, CamerasAndTheirMultiPassEffects) {
  json scene = smallScene();
  scene["nodes"] = json::parse(R"([
      {"name": "Camera01", "camera": {"multipass": {"class_id": ["0x6CC9546E", "0x0B1961B9"],
                                                    "passes": 5}}},
      {"name": "Plain", "camera": {}},
      {"name": "Box01", "object": {}}])");
  load(scene);
  Interface* core = GetCOREInterface();
  Object* withEffect = core->GetINodeByName("Camera01")->EvalWorldState(0).obj;
  Object* plain = core->GetINodeByName("Plain")->EvalWorldState(0).obj;
  Object* box = core->GetINodeByName("Box01")->EvalWorldState(0).obj;

  EXPECT_TRUE(isCameraView(core->GetActiveViewport()));
  EXPECT_EQ(asCamera(box), nullptr);
  EXPECT_EQ(asCamera(nullptr), nullptr);
  EXPECT_NE(asCamera(plain), nullptr);

  EXPECT_TRUE(multiPassEnabled(withEffect, 0));
  ASSERT_NE(multiPassEffect(withEffect), nullptr);
  EXPECT_EQ(multiPassEffect(withEffect)->ClassID(), singlePassEffectClassId);
  EXPECT_EQ(multiPassEffect(withEffect)->TotalPasses(0), 5);
  EXPECT_FALSE(multiPassEnabled(plain, 0));
  EXPECT_EQ(multiPassEffect(plain), nullptr);
  EXPECT_FALSE(multiPassEnabled(box, 0));
  EXPECT_EQ(multiPassEffect(box), nullptr);
}

TEST_F(HostLayerTest, NumberedFilenames) {
  EXPECT_EQ(numberedFilename("C:\\out\\shot.tga", 1005), "C:\\out\\shot1005.tga");
  EXPECT_EQ(numberedFilename("shot.exr", 5), "shot0005.exr");
  EXPECT_THROW(numberedFilename(std::string(MAX_PATH, 'a') + ".tga", 1), std::runtime_error);
}

TEST_F(HostLayerTest, FrameBufferShowsAndRemovesTheBitmap) {
  BitmapInfo bi;
  bi.SetWidth(2);
  bi.SetHeight(2);
  Bitmap* bitmap = TheManager->Create(&bi);
  showInFrameBuffer(bitmap);
  EXPECT_NE(bitmap->GetWindow(), nullptr);
  removeFromFrameBuffer(bitmap);
  EXPECT_EQ(bitmap->GetWindow(), nullptr);
  bitmap->DeleteThis();
}

TEST_F(HostLayerTest, RenderElementsCountOnlyWhenActive) {
  json scene = smallScene();
  scene["render_elements"] = json::parse(R"({"active": true, "elements": [
      {"name": "Alpha", "kind": "alpha", "output": "C:\\out\\alpha.tga"},
      {"name": "Shapes", "kind": "shapes", "output": "C:\\out\\shapes.png"}]})");
  load(scene);
  IRenderElementMgr* manager = GetCOREInterface()->GetCurRenderElementMgr();
  EXPECT_EQ(activeRenderElementCount(manager), 2);
  PBBitmap* output = elementOutput(manager->GetRenderElement(1));
  ASSERT_NE(output, nullptr);
  EXPECT_STREQ(output->bi.Name(), "C:\\out\\shapes.png");
  EXPECT_EQ(output->bi.Width(), 16);
  EXPECT_EQ(output->bm, nullptr);

  scene["render_elements"]["active"] = false;
  load(scene);
  EXPECT_EQ(activeRenderElementCount(GetCOREInterface()->GetCurRenderElementMgr()), 0);
  EXPECT_EQ(activeRenderElementCount(nullptr), 0);
}

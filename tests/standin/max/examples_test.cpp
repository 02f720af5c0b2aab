// The example scenes load and render as they are described in docs/scene-format.md, and their
// outputs are written under the mapped drive R:.
#include "host_fixture.h"
#include "support/mapped_drive.h"

#include <max.h>

#include <iparamb2.h>
#include <pbbitmap.h>

#include <cstdlib>
#include <memory>

namespace {

struct BitmapDeleter {
  void operator()(Bitmap* bitmap) const { bitmap->DeleteThis(); }
};
using BitmapPtr = std::unique_ptr<Bitmap, BitmapDeleter>;

}  // namespace

/// The example scenes write to drive R, which is the test's own.
class ExampleSceneTest : public HostTest {
 protected:
  /// Loads examples/scenes/<name> and opens the renderer through Camera01.
  void open(const std::string& name) {
    const std::string file = std::string(MOONSTONE_SOURCE_DIR) + "/examples/scenes/" + name;
    Interface8* core = GetCOREInterface8();
    ASSERT_TRUE(core->IsMaxFile(file.c_str()));
    ASSERT_TRUE(core->LoadFromFile(file.c_str(), 6));
    ASSERT_EQ(core->GetRendWidth(), 160);
    ASSERT_EQ(core->GetRendHeight(), 120);
    ASSERT_TRUE(core->OpenCurRenderer(core->GetINodeByName("Camera01"), nullptr, RENDTYPE_NORMAL,
                                      160, 120));
  }

  BitmapPtr renderFrame(int frame, BitmapInfo& bi) {
    BitmapPtr bitmap(TheManager->Create(&bi));
    EXPECT_TRUE(
        GetCOREInterface()->CurRendererRenderFrame(frame * GetTicksPerFrame(), bitmap.get()));
    return bitmap;
  }

  MappedDrive driveR{'R'};

  /// Writes the bitmap under bi's name, creating its folder first as the render engine does.
  void writeOut(Bitmap* bitmap, BitmapInfo& bi, const std::string& folderOnR) {
    std::filesystem::create_directories(driveR.path() / folderOnR);
    ASSERT_EQ(bitmap->OpenOutput(&bi), BMMRES_SUCCESS);
    ASSERT_EQ(bitmap->Write(&bi, BMM_SINGLEFRAME), BMMRES_SUCCESS) << bi.Name();
    bitmap->Close(&bi, BMM_CLOSE_COMPLETE);
  }
};

TEST_F(ExampleSceneTest, AnimatedSceneWithTwoElementsAndTargaOutput) {
  open("animated.max");
  Interface* core = GetCOREInterface();
  EXPECT_EQ(core->GetActiveViewport()->GetViewType(), VIEW_CAMERA);
  BitmapInfo& output = core->GetRendFileBI();
  IRenderElementMgr* elements = core->GetCurRenderElementMgr();
  ASSERT_TRUE(elements->GetElementsActive());
  ASSERT_EQ(elements->NumRenderElements(), 2);

  std::vector<BitmapPtr> elementBitmaps;
  for (int i = 0; i < 2; ++i) {
    PBBitmap* pb = nullptr;
    elements->GetRenderElement(i)->GetPBBitmap(pb);
    elementBitmaps.push_back(BitmapPtr(TheManager->Create(&pb->bi)));
    pb->bm = elementBitmaps.back().get();
  }
  BitmapPtr frame0 = renderFrame(0, output);
  BitmapPtr frame12 = renderFrame(12, output);
  // The red disc travels across the picture.
  EXPECT_GT(pixel(frame0.get(), 24, 36).r, 0.8f);
  EXPECT_LT(pixel(frame12.get(), 24, 36).r, 0.8f);

  writeOut(frame12.get(), output, "animated");
  EXPECT_TRUE(std::filesystem::exists(driveR.path() / "animated/animated.tga"));
  for (int i = 0; i < 2; ++i) {
    PBBitmap* pb = nullptr;
    elements->GetRenderElement(i)->GetPBBitmap(pb);
    writeOut(pb->bm, pb->bi, "animated/elements");
    pb->bm = nullptr;
  }
  EXPECT_TRUE(std::filesystem::exists(driveR.path() / "animated/elements/animated_alpha.tga"));
  EXPECT_TRUE(std::filesystem::exists(driveR.path() / "animated/elements/animated_shapes.tga"));
}

TEST_F(ExampleSceneTest, MultiPassScene) {
  open("multipass.max");
  Object* camera = GetCOREInterface()->GetINodeByName("Camera01")->EvalWorldState(0).obj;
  ASSERT_EQ(camera->SuperClassID(), CAMERA_CLASS_ID);
  auto* cameraObject = static_cast<CameraObject*>(camera);
  Interval valid;
  EXPECT_TRUE(cameraObject->GetMultiPassEffectEnabled(0, valid));
  ASSERT_NE(cameraObject->GetIMultiPassCameraEffect(), nullptr);
  EXPECT_EQ(cameraObject->GetIMultiPassCameraEffect()->TotalPasses(0), 4);
}

TEST_F(ExampleSceneTest, ExrSceneWantsFloatingPointOutput) {
  open("exr_output.max");
  Interface* core = GetCOREInterface();
  EXPECT_NE(core->GetActiveViewport()->GetViewType(), VIEW_CAMERA);
  auto* requirements = static_cast<IRendererRequirements*>(
      core->GetCurrentRenderer()->GetInterface(IRENDERERREQUIREMENTS_INTERFACE_ID));
  ASSERT_NE(requirements, nullptr);
  EXPECT_TRUE(
      requirements->HasRequirement(IRendererRequirements::kRequirement8_Wants32bitFPOutput));

  BitmapInfo output;
  output.Copy(&core->GetRendFileBI());
  output.SetType(BMM_FLOAT_RGBA_32);
  BitmapPtr frame = renderFrame(0, output);
  EXPECT_FLOAT_EQ(pixel(frame.get(), 80, 60).r, 4.0f);  // brighter than white
  writeOut(frame.get(), output, "exr");
  EXPECT_TRUE(std::filesystem::exists(driveR.path() / "exr/exr_output.exr"));
}

TEST_F(ExampleSceneTest, BlackFramesScene) {
  open("black_frames.max");
  BitmapInfo& output = GetCOREInterface()->GetRendFileBI();
  auto black = [](Bitmap* bitmap, int x, int y) {
    const BMM_Color_fl c = pixel(bitmap, x, y);
    return c.r == 0 && c.g == 0 && c.b == 0;
  };
  BitmapPtr frame3 = renderFrame(3, output);
  EXPECT_TRUE(black(frame3.get(), 0, 0) && black(frame3.get(), 159, 119));
  BitmapPtr frame6 = renderFrame(6, output);
  EXPECT_TRUE(black(frame6.get(), 0, 0));
  EXPECT_FALSE(black(frame6.get(), 0, 119));
  BitmapPtr frame5 = renderFrame(5, output);
  EXPECT_FALSE(black(frame5.get(), 0, 0));
}

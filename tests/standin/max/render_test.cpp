// The renderer: pixels of a frame, animation, cameras, regions, elements, progress and abort,
// multi-pass accumulation, black frames, scene scripts and injected render faults.
#include "host_fixture.h"

#include <max.h>

#include <object.h>
#include <iparamb2.h>
#include <pbbitmap.h>
#include <scene_scripts.h>

#include <memory>
#include <stdexcept>

using nlohmann::json;

namespace {

/// Records what the renderer reports; answers "abort" from the given call on.
class RecordingCallback : public RendProgressCallback {
 public:
  explicit RecordingCallback(int abortAtCall = -1) : abortAtCall_(abortAtCall) {}
  void SetTitle(const MCHAR* title) override { titles.push_back(title); }
  int Progress(int done, int total) override {
    calls.emplace_back(done, total);
    return static_cast<int>(calls.size()) == abortAtCall_ ? RENDPROG_ABORT : RENDPROG_CONTINUE;
  }
  std::vector<std::string> titles;
  std::vector<std::pair<int, int>> calls;

 private:
  int abortAtCall_;
};

struct BitmapDeleter {
  void operator()(Bitmap* bitmap) const { bitmap->DeleteThis(); }
};
using BitmapPtr = std::unique_ptr<Bitmap, BitmapDeleter>;

BitmapPtr makeBitmap(int width, int height) {
  BitmapInfo bi;
  bi.SetWidth(static_cast<WORD>(width));
  bi.SetHeight(static_cast<WORD>(height));
  return BitmapPtr(TheManager->Create(&bi));
}

bool isRed(const BMM_Color_fl& c) {
  return c.r == 1 && c.g == 0 && c.b == 0 && c.a == 1;
}
bool isBlue(const BMM_Color_fl& c) {
  return c.r == 0 && c.g == 0 && c.b == 1 && c.a == 1;
}

}  // namespace

class RenderTest : public HostTest {
 protected:
  /// Loads the scene and opens the renderer through its camera at the scene's size.
  void open(const json& scene) {
    load(scene);
    Interface* core = GetCOREInterface();
    ASSERT_TRUE(core->OpenCurRenderer(core->GetINodeByName("Camera01"), nullptr, RENDTYPE_NORMAL,
                                      core->GetRendWidth(), core->GetRendHeight()));
  }
  int render(int frame, Bitmap* bitmap, RendProgressCallback* callback = nullptr,
             ViewParams* view = nullptr, RECT* region = nullptr) {
    return GetCOREInterface()->CurRendererRenderFrame(frame * GetTicksPerFrame(), bitmap, callback,
                                                      1.0f, view, region);
  }
};

TEST_F(RenderTest, DrawsTheAnimatedPicture) {
  open(smallScene());
  BitmapPtr bitmap = makeBitmap(16, 8);
  ASSERT_TRUE(render(0, bitmap.get()));
  EXPECT_TRUE(isRed(pixel(bitmap.get(), 3, 3)));
  EXPECT_TRUE(isBlue(pixel(bitmap.get(), 12, 3)));
  EXPECT_TRUE(isBlue(pixel(bitmap.get(), 0, 0)));

  ASSERT_TRUE(render(10, bitmap.get()));
  EXPECT_TRUE(isBlue(pixel(bitmap.get(), 3, 3)));
  EXPECT_TRUE(isRed(pixel(bitmap.get(), 12, 3)));
}

TEST_F(RenderTest, RendersNothingUnlessOpen) {
  load(smallScene());
  BitmapPtr bitmap = makeBitmap(16, 8);
  EXPECT_FALSE(render(0, bitmap.get()));
  Interface* core = GetCOREInterface();
  ASSERT_TRUE(core->OpenCurRenderer(nullptr, core->GetActiveViewport(), RENDTYPE_NORMAL, 16, 8));
  EXPECT_TRUE(standin::renderer_open());
  EXPECT_TRUE(render(0, bitmap.get()));
  core->CloseCurRenderer();
  EXPECT_FALSE(standin::renderer_open());
  EXPECT_FALSE(render(0, bitmap.get()));
  EXPECT_EQ(standin::renderer_opens(), 1);
  EXPECT_EQ(standin::renderer_closes(), 1);
}

TEST_F(RenderTest, LoadingAnotherSceneClosesTheRenderer) {
  open(smallScene());
  load(smallScene());
  EXPECT_FALSE(standin::renderer_open());
  BitmapPtr bitmap = makeBitmap(16, 8);
  EXPECT_FALSE(render(0, bitmap.get()));
}

TEST_F(RenderTest, OpeningFailsWithoutCameraOrViewport) {
  json scene = smallScene();
  scene["nodes"].push_back({{"name", "Box01"}, {"object", json::object()}});
  load(scene);
  Interface* core = GetCOREInterface();
  EXPECT_FALSE(core->OpenCurRenderer(nullptr, nullptr, RENDTYPE_NORMAL, 16, 8));
  EXPECT_FALSE(
      core->OpenCurRenderer(core->GetINodeByName("Box01"), nullptr, RENDTYPE_NORMAL, 16, 8));
  EXPECT_FALSE(
      core->OpenCurRenderer(core->GetINodeByName("Camera01"), nullptr, RENDTYPE_NORMAL, 0, 8));
  EXPECT_FALSE(standin::renderer_open());
}

TEST_F(RenderTest, CameraPanAndViewParamsMoveThePicture) {
  json scene = smallScene();
  scene["nodes"].push_back({{"name", "Shifted"}, {"camera", {{"pan", {8, 0}}}}});
  load(scene);
  Interface* core = GetCOREInterface();
  ASSERT_TRUE(
      core->OpenCurRenderer(core->GetINodeByName("Shifted"), nullptr, RENDTYPE_NORMAL, 16, 8));
  BitmapPtr bitmap = makeBitmap(16, 8);
  ASSERT_TRUE(render(0, bitmap.get()));
  // The disc at x = 4 now shows 8 pixels further left: off the picture.
  EXPECT_TRUE(isBlue(pixel(bitmap.get(), 3, 3)));

  ViewParams view;
  view.panX = -8;
  ASSERT_TRUE(render(0, bitmap.get(), nullptr, &view));
  EXPECT_TRUE(isRed(pixel(bitmap.get(), 11, 3)));
}

TEST_F(RenderTest, RegionIsRenderedAtTheBitmapOrigin) {
  open(smallScene());
  BitmapPtr whole = makeBitmap(16, 8);
  ASSERT_TRUE(render(0, whole.get()));

  RECT region{2, 1, 7, 6};
  BitmapPtr part = makeBitmap(5, 5);
  RecordingCallback callback;
  ASSERT_TRUE(render(0, part.get(), &callback, nullptr, &region));
  for (int y = 0; y < 5; ++y) {
    for (int x = 0; x < 5; ++x) {
      const BMM_Color_fl expected = pixel(whole.get(), x + 2, y + 1);
      const BMM_Color_fl got = pixel(part.get(), x, y);
      EXPECT_TRUE(got.r == expected.r && got.b == expected.b) << x << "," << y;
    }
  }
  EXPECT_EQ(callback.calls.back(), std::make_pair(5, 5));  // progress counts the region's rows
}

TEST_F(RenderTest, ReportsTitleAndProgressPerRow) {
  open(smallScene());
  BitmapPtr bitmap = makeBitmap(16, 8);
  RecordingCallback callback;
  ASSERT_TRUE(render(0, bitmap.get(), &callback));
  EXPECT_EQ(callback.titles, std::vector<std::string>{"Rendering Image"});
  ASSERT_EQ(callback.calls.size(), 9u);
  for (int i = 0; i <= 8; ++i) EXPECT_EQ(callback.calls[i], std::make_pair(i, 8));
}

TEST_F(RenderTest, StopsWithFailureAsSoonAsProgressAborts) {
  open(smallScene());
  BitmapPtr bitmap = makeBitmap(16, 8);
  RecordingCallback callback(4);
  EXPECT_FALSE(render(0, bitmap.get(), &callback));
  EXPECT_EQ(callback.calls.size(), 4u);
  // Rows after the abort are not drawn.
  EXPECT_EQ(pixel(bitmap.get(), 0, 7).a, 0.0f);
}

TEST_F(RenderTest, FillsTheActiveRenderElements) {
  json scene = smallScene();
  scene["image"]["background"] = {0, 0, 1, 0.5};
  scene["render_elements"] = json::parse(R"({"active": true, "elements": [
      {"name": "Alpha", "kind": "alpha", "output": "a.png"},
      {"name": "Shapes", "kind": "shapes", "output": "s.png"},
      {"name": "Off", "kind": "beauty", "output": "o.png", "enabled": false}]})");
  open(scene);
  IRenderElementMgr* manager = GetCOREInterface()->GetCurRenderElementMgr();
  ASSERT_TRUE(manager->GetElementsActive());
  ASSERT_EQ(manager->NumRenderElements(), 3);
  EXPECT_STREQ(manager->GetRenderElement(0)->ElementName(), "Alpha");
  EXPECT_EQ(manager->GetRenderElement(3), nullptr);

  std::vector<BitmapPtr> bitmaps;
  for (int i = 0; i < 3; ++i) {
    PBBitmap* pb = nullptr;
    manager->GetRenderElement(i)->GetPBBitmap(pb);
    ASSERT_NE(pb, nullptr);
    bitmaps.push_back(BitmapPtr(TheManager->Create(&pb->bi)));
    pb->bm = bitmaps.back().get();
  }
  BitmapPtr main = makeBitmap(16, 8);
  ASSERT_TRUE(render(0, main.get()));

  // Background alpha as grey, to the nearest of a 64-bit bitmap's 16-bit levels.
  EXPECT_NEAR(pixel(bitmaps[0].get(), 0, 0).r, 0.5f, 1.0f / 65535);
  EXPECT_FLOAT_EQ(pixel(bitmaps[0].get(), 3, 3).r, 1.0f);  // the disc is opaque
  EXPECT_EQ(pixel(bitmaps[1].get(), 0, 0).a, 0.0f);        // shapes only
  EXPECT_TRUE(isRed(pixel(bitmaps[1].get(), 3, 3)));
  EXPECT_EQ(pixel(bitmaps[2].get(), 3, 3).a, 0.0f);  // a disabled element is left alone

  for (int i = 0; i < 3; ++i) {
    PBBitmap* pb = nullptr;
    manager->GetRenderElement(i)->GetPBBitmap(pb);
    pb->bm = nullptr;
  }
}

TEST_F(RenderTest, InactiveElementsAreNotFilled) {
  json scene = smallScene();
  scene["render_elements"] = json::parse(
      R"({"active": false, "elements": [{"name": "Alpha", "kind": "alpha", "output": "a.png"}]})");
  open(scene);
  IRenderElementMgr* manager = GetCOREInterface()->GetCurRenderElementMgr();
  EXPECT_FALSE(manager->GetElementsActive());
  PBBitmap* pb = nullptr;
  manager->GetRenderElement(0)->GetPBBitmap(pb);
  BitmapPtr element(TheManager->Create(&pb->bi));
  pb->bm = element.get();
  BitmapPtr main = makeBitmap(16, 8);
  ASSERT_TRUE(render(0, main.get()));
  EXPECT_EQ(pixel(element.get(), 3, 3).a, 0.0f);
  pb->bm = nullptr;
}

TEST_F(RenderTest, BlackoutMakesFramesWhollyOrPartlyBlack) {
  json scene = smallScene();
  scene["image"]["blackout"] =
      json::parse(R"([{"first": 2, "last": 3, "fraction": 1.0}, {"first": 5, "fraction": 0.5}])");
  open(scene);
  BitmapPtr bitmap = makeBitmap(16, 8);
  auto black = [&](int x, int y) {
    const BMM_Color_fl c = pixel(bitmap.get(), x, y);
    return c.r == 0 && c.g == 0 && c.b == 0 && c.a == 1;
  };
  ASSERT_TRUE(render(3, bitmap.get()));
  EXPECT_TRUE(black(0, 0) && black(15, 7));
  ASSERT_TRUE(render(5, bitmap.get()));
  EXPECT_TRUE(black(15, 3));
  EXPECT_FALSE(black(15, 4));
  ASSERT_TRUE(render(4, bitmap.get()));
  EXPECT_FALSE(black(0, 0));
}

class MultiPassTest : public RenderTest {
 protected:
  void SetUp() override {
    RenderTest::SetUp();
    json scene = smallScene();
    scene["nodes"][0]["camera"]["multipass"] = {{"class_id", {"0x12345678", "0x9ABCDEF0"}},
                                                {"passes", 4},
                                                {"spread", 2.0},
                                                {"time_spread", 80}};
    open(scene);
    camera = GetCOREInterface()->GetINodeByName("Camera01");
    object = static_cast<CameraObject*>(camera->EvalWorldState(0).obj);
  }
  INode* camera = nullptr;
  CameraObject* object = nullptr;
};

TEST_F(MultiPassTest, CameraReportsItsEffect) {
  Interval valid;
  valid.SetEmpty();
  EXPECT_TRUE(object->GetMultiPassEffectEnabled(0, valid));
  IMultiPassCameraEffect* effect = object->GetIMultiPassCameraEffect();
  ASSERT_NE(effect, nullptr);
  EXPECT_EQ(effect->ClassID(), Class_ID(0x12345678u, 0x9ABCDEF0u));
  EXPECT_EQ(effect->TotalPasses(0), 4);
}

TEST_F(MultiPassTest, PassesDifferInViewAndTime) {
  IMultiPassCameraEffect* effect = object->GetIMultiPassCameraEffect();
  TimeValue t0 = 160, t2 = 160;
  const ViewParams first = *effect->Apply(camera, object, 0, t0);
  const ViewParams third = *effect->Apply(camera, object, 2, t2);
  EXPECT_EQ(t0, 160);
  EXPECT_EQ(t2, 160 + 40);  // two quarters of the 80-tick spread
  EXPECT_FALSE(first.panX == third.panX && first.panY == third.panY);
  effect->PostRenderFrame();
}

TEST_F(MultiPassTest, AccumulationIsTheRunningAverage) {
  IMultiPassCameraEffect* effect = object->GetIMultiPassCameraEffect();
  BitmapPtr destination = makeBitmap(2, 1);
  BitmapPtr source = makeBitmap(2, 1);
  const float values[] = {1.0f, 0.0f, 0.5f};
  for (int p = 0; p < 3; ++p) {
    const BMM_Color_fl row[2] = {BMM_Color_fl(values[p], 0, 0, 1), BMM_Color_fl(0, 1, 0, 1)};
    source->PutPixels(0, 0, 2, row);
    effect->AccumulateBitmap(destination.get(), source.get(), p, 0);
  }
  // (1 + 0 + 0.5) / 3, to the nearest of a 64-bit bitmap's 16-bit levels.
  EXPECT_NEAR(pixel(destination.get(), 0, 0).r, 0.5f, 1.0f / 65535);
  EXPECT_FLOAT_EQ(pixel(destination.get(), 1, 0).g, 1.0f);
  EXPECT_FLOAT_EQ(pixel(destination.get(), 1, 0).a, 1.0f);
}

TEST_F(MultiPassTest, RenderedPassesAverageToABlurredDisc) {
  IMultiPassCameraEffect* effect = object->GetIMultiPassCameraEffect();
  BitmapPtr pass = makeBitmap(16, 8);
  BitmapPtr result = makeBitmap(16, 8);
  const int passes = effect->TotalPasses(0);
  for (int p = 0; p < passes; ++p) {
    TimeValue t = 0;
    ViewParams* view = effect->Apply(camera, object, p, t);
    ASSERT_TRUE(GetCOREInterface()->CurRendererRenderFrame(t, pass.get(), nullptr, 1.0f, view));
    effect->AccumulateBitmap(result.get(), pass.get(), p, t);
  }
  effect->PostRenderFrame();
  // The disc's edge is covered in some passes only: neither pure red nor pure blue.
  bool blended = false;
  for (int x = 0; x < 16; ++x) {
    const BMM_Color_fl c = pixel(result.get(), x, 4);
    if (c.r > 0.1f && c.r < 0.9f) blended = true;
  }
  EXPECT_TRUE(blended);
}

TEST_F(MultiPassTest, DisabledEffectIsReportedOff) {
  json scene = smallScene();
  scene["nodes"][0]["camera"]["multipass"] = {{"enabled", false}, {"passes", 3}};
  load(scene);
  Object* cameraObject = GetCOREInterface()->GetINodeByName("Camera01")->EvalWorldState(0).obj;
  Interval valid;
  EXPECT_FALSE(static_cast<CameraObject*>(cameraObject)->GetMultiPassEffectEnabled(0, valid));
}

class SceneScriptTest : public RenderTest {
 protected:
  void SetUp() override {
    RenderTest::SetUp();
    json scene = smallScene();
    scene["scripts"] = json::parse(R"([
        {"text": "before"},
        {"text": "at row 3", "row": 3},
        {"text": "only at frame 2", "frame": 2}])");
    open(scene);
  }
};

TEST_F(SceneScriptTest, RunnerRunsEachScriptAtItsMoment) {
  std::vector<std::string> ran;
  RecordingCallback callback;
  SetSceneScriptRunner([&](const std::string& text) {
    ran.push_back(text + " after " + std::to_string(callback.calls.size()) + " progress calls");
  });
  BitmapPtr bitmap = makeBitmap(16, 8);
  ASSERT_TRUE(render(0, bitmap.get(), &callback));
  EXPECT_EQ(ran, (std::vector<std::string>{"before after 0 progress calls",
                                           "at row 3 after 4 progress calls"}));
  ran.clear();
  ASSERT_TRUE(render(2, bitmap.get()));
  EXPECT_EQ(ran.size(), 3u);
}

TEST_F(SceneScriptTest, FailingScriptFailsTheRenderAndIsLogged) {
  SetSceneScriptRunner([](const std::string& text) {
    if (text == "at row 3") throw std::runtime_error("-- Runtime error: no such thing");
  });
  BitmapPtr bitmap = makeBitmap(16, 8);
  RecordingCallback callback;
  ::testing::internal::CaptureStderr();
  EXPECT_FALSE(render(0, bitmap.get(), &callback));
  const std::string log = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(log.find("-- Runtime error: no such thing"), std::string::npos) << log;
  EXPECT_EQ(callback.calls.size(), 4u);  // stopped at row 3
}

TEST_F(SceneScriptTest, WithoutRunnerScriptsAreSkipped) {
  BitmapPtr bitmap = makeBitmap(16, 8);
  EXPECT_TRUE(render(2, bitmap.get()));
}

class RenderFaultTest : public RenderTest {
 protected:
  void openWithFault(const char* kind) {
    json scene = smallScene();
    scene["faults"] = {{{"kind", kind}, {"frame", 3}}};
    open(scene);
  }
};

TEST_F(RenderFaultTest, RenderFailureAtItsFrameOnly) {
  openWithFault("render_failure");
  BitmapPtr bitmap = makeBitmap(16, 8);
  EXPECT_TRUE(render(2, bitmap.get()));
  EXPECT_FALSE(render(3, bitmap.get()));
  EXPECT_TRUE(render(4, bitmap.get()));
}

TEST_F(RenderFaultTest, AccessViolationIsARealFaultAtItsFrame) {
  openWithFault("access_violation");
  BitmapPtr bitmap = makeBitmap(16, 8);
  ASSERT_TRUE(render(2, bitmap.get()));
  EXPECT_EQ(faultOf([&] { render(3, bitmap.get()); }), "Access Violation");
}

TEST_F(RenderFaultTest, DivisionByZeroIsARealFaultAtItsFrame) {
  openWithFault("divide_by_zero");
  BitmapPtr bitmap = makeBitmap(16, 8);
  ASSERT_TRUE(render(2, bitmap.get()));
  EXPECT_EQ(faultOf([&] { render(3, bitmap.get()); }), "Integer Divide By Zero");
}

TEST_F(RenderTest, SlowSceneStillCompletes) {
  json scene = smallScene();
  scene["render"]["ms_per_row"] = 1;
  open(scene);
  BitmapPtr bitmap = makeBitmap(16, 8);
  RecordingCallback callback;
  EXPECT_TRUE(render(0, bitmap.get(), &callback));
  EXPECT_EQ(callback.calls.size(), 9u);
}

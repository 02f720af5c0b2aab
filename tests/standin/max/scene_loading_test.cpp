// Loading scene files: validity, nodes and cameras, missing references under each default action,
// and the load faults a scene can inject.
#include "host_fixture.h"

#include <max.h>

#include <DefaultActions.h>
#include <render.h>
#include <iFnPub.h>
#include <iparamb2.h>
#include <pbbitmap.h>

using nlohmann::json;

namespace {
// The host's actions: log the missing item and go on, or log it and fail the load.
constexpr DWORD kIgnore = DEFAULTACTIONS_LOGTOFILE;
constexpr DWORD kFail = DEFAULTACTIONS_LOGTOFILE | DEFAULTACTIONS_ABORT;
}  // namespace

using SceneLoadingTest = HostTest;

TEST_F(SceneLoadingTest, ValidSceneIsRecognisedAndLoaded) {
  json scene = smallScene();
  scene["render"]["output"] = path("out/shot.tga");
  scene["time"] = {{"ticks_per_frame", 200}};
  const std::string file = writeFile("scene.max", scene.dump());

  Interface8* core = GetCOREInterface8();
  ASSERT_TRUE(core->IsMaxFile(file.c_str()));
  ASSERT_TRUE(core->LoadFromFile(file.c_str(), 6));

  EXPECT_EQ(core->GetRendWidth(), 16);
  EXPECT_EQ(core->GetRendHeight(), 8);
  EXPECT_FLOAT_EQ(core->GetRendApect(), 1.0f);
  EXPECT_EQ(GetTicksPerFrame(), 200);
  EXPECT_STREQ(core->GetRendFileBI().Name(), path("out/shot.tga").c_str());
  EXPECT_STREQ(core->GetRendFileBI().Device(), "Targa Image File");
  EXPECT_EQ(core->GetRendFileBI().Width(), 16);
  EXPECT_TRUE(core->GetRendSaveFile());
  EXPECT_FALSE(core->GetSkipRenderedFrames());
}

TEST_F(SceneLoadingTest, OutputDeviceIsNamedOrChosenByExtension) {
  json scene = smallScene();
  scene["render"]["output"] = "C:\\out\\shot.EXR";
  scene["render_elements"] = {
      {"elements",
       {{{"name", "A"}, {"output", "C:\\out\\a.png"}},
        {{"name", "B"}, {"output", "C:\\out\\b.raw"}, {"device", "PNG Image File"}},
        {{"name", "C"}, {"output", "C:\\out\\c.raw"}}}}};
  load(scene);
  EXPECT_STREQ(GetCOREInterface()->GetRendFileBI().Device(), "OpenEXR Image File");
  const char* expected[] = {"PNG Image File", "PNG Image File", ""};
  for (int i = 0; i < 3; ++i) {
    PBBitmap* pb = nullptr;
    GetCOREInterface()->GetCurRenderElementMgr()->GetRenderElement(i)->GetPBBitmap(pb);
    EXPECT_STREQ(pb->bi.Device(), expected[i]) << i;
  }
}

TEST_F(SceneLoadingTest, TicksPerFrameDefaultTo160) {
  load(smallScene());
  EXPECT_EQ(GetTicksPerFrame(), 160);
}

struct InvalidFile {
  const char* label;
  const char* text;  // null: the file does not exist
};

void PrintTo(const InvalidFile& file, std::ostream* out) {
  *out << file.label;
}

class InvalidSceneFileTest : public HostTest, public ::testing::WithParamInterface<InvalidFile> {};

TEST_P(InvalidSceneFileTest, IsNoSceneFileAndDoesNotLoad) {
  load(smallScene());
  const std::string file =
      GetParam().text ? writeFile("bad.max", GetParam().text) : path("absent.max");
  Interface8* core = GetCOREInterface8();
  EXPECT_FALSE(core->IsMaxFile(file.c_str()));
  EXPECT_FALSE(core->LoadFromFile(file.c_str(), 6));
  // The scene loaded before stays.
  EXPECT_NE(core->GetINodeByName("Camera01"), nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Files, InvalidSceneFileTest,
    ::testing::Values(InvalidFile{"missing", nullptr}, InvalidFile{"empty", ""},
                      InvalidFile{"notJson", "3ds max scene, binary"},
                      InvalidFile{"jsonArray", "[1, 2]"},
                      InvalidFile{"otherFormat", R"({"format": "something-else"})"},
                      InvalidFile{"noFormat", R"({"render": {"width": 10}})"}),
    [](const auto& test) { return std::string(test.param.label); });

TEST_F(SceneLoadingTest, SceneFileWithBadContentIsRecognisedButDoesNotLoad) {
  const std::string file =
      writeFile("bad.max", R"({"format": "moonstone-scene", "render": {"width": 0}})");
  EXPECT_TRUE(GetCOREInterface8()->IsMaxFile(file.c_str()));
  EXPECT_FALSE(GetCOREInterface8()->LoadFromFile(file.c_str(), 6));
}

TEST_F(SceneLoadingTest, IntegerFieldsOutOfRangeOrFractionalAreRefusedByName) {
  const struct {
    const char* pointer;  // where the bad number goes
    double number;
    const char* error;
  } cases[] = {
      {"/scripts/0/row", 3.11111e+103,
       "\"row\" must be a whole number from -2147483648 to 2147483647"},
      {"/render/width", 1e10, "\"width\" must be a whole number from -2147483648 to 2147483647"},
      {"/faults/0/frame", 2.5, "\"frame\" must be a whole number"},
      {"/time/ticks_per_frame", 4294967296.0, "\"ticks_per_frame\" must be a whole number"},
  };
  for (const auto& c : cases) {
    json scene = smallScene();
    scene["scripts"] = json::array({{{"text", "1"}}});
    scene["faults"] = json::array({{{"kind", "render_failure"}}});
    scene[json::json_pointer(c.pointer)] = c.number;
    const std::string file = writeFile("scene.max", scene.dump());
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(GetCOREInterface8()->LoadFromFile(file.c_str(), 6)) << c.pointer;
    EXPECT_NE(::testing::internal::GetCapturedStderr().find(c.error), std::string::npos)
        << c.pointer;
  }
  // A whole number written as a float is a whole number still.
  json scene = smallScene();
  scene["render"]["width"] = 32.0;
  load(scene);
  EXPECT_EQ(GetCOREInterface()->GetRendWidth(), 32);
}

TEST_F(SceneLoadingTest, NodesHaveNamesChildrenAndObjects) {
  json scene = smallScene();
  scene["nodes"] = json::parse(R"([
    {"name": "Rig", "children": [
      {"name": "Camera01", "camera": {"class_id": ["0x399EE5F2", "0x584A71A8"]},
       "children": [{"name": "Multipass", "camera": {}}]},
      {"name": "Box01", "object": {"class_id": [16, 0]}}]}])");
  load(scene);
  Interface* core = GetCOREInterface();

  INode* rig = core->GetINodeByName("Rig");
  ASSERT_NE(rig, nullptr);
  EXPECT_STREQ(rig->GetName(), "Rig");
  EXPECT_EQ(rig->EvalWorldState(0).obj, nullptr);
  ASSERT_EQ(rig->NumberOfChildren(), 2);
  EXPECT_EQ(rig->GetChildNode(2), nullptr);

  INode* camera = rig->GetChildNode(0);
  EXPECT_EQ(camera, core->GetINodeByName("Camera01"));
  Object* object = camera->EvalWorldState(0, TRUE).obj;
  ASSERT_NE(object, nullptr);
  EXPECT_EQ(object->SuperClassID(), CAMERA_CLASS_ID);
  EXPECT_EQ(object->ClassID(), Class_ID(0x399EE5F2u, 0x584A71A8u));
  ASSERT_EQ(camera->NumberOfChildren(), 1);
  EXPECT_STREQ(camera->GetChildNode(0)->GetName(), "Multipass");

  Object* box = core->GetINodeByName("Box01")->EvalWorldState(0).obj;
  EXPECT_EQ(box->SuperClassID(), GEOMOBJECT_CLASS_ID);
  EXPECT_EQ(core->GetINodeByName("camera01"), nullptr);  // names are case-sensitive
  EXPECT_EQ(core->GetINodeByName(""), nullptr);
}

TEST_F(SceneLoadingTest, ViewportIsCameraOrPerspectiveView) {
  load(smallScene());
  Interface* core = GetCOREInterface();
  ViewExp* viewport = core->GetActiveViewport();
  EXPECT_EQ(viewport->GetViewType(), VIEW_CAMERA);
  EXPECT_EQ(viewport->GetViewCamera(), core->GetINodeByName("Camera01"));
  EXPECT_EQ(standin::viewport_holds(), 1);
  core->ReleaseViewport(viewport);
  EXPECT_EQ(standin::viewport_holds(), 0);

  json perspective = smallScene();
  perspective.erase("viewport");
  load(perspective);
  EXPECT_NE(core->GetActiveViewport()->GetViewType(), VIEW_CAMERA);
  EXPECT_EQ(core->GetActiveViewport()->GetViewCamera(), nullptr);
}

TEST_F(SceneLoadingTest, RendererReportsItsClassAndRequirements) {
  json scene = smallScene();
  scene["render"]["renderer"] = {{"class_id", {"0x58F67D6C", "0x4FCF3BC3"}},
                                 {"requirements", {2, 3}}};
  load(scene);
  Renderer* renderer = GetCOREInterface()->GetCurrentRenderer();
  ASSERT_NE(renderer, nullptr);
  EXPECT_EQ(renderer->ClassID(), Class_ID(0x58F67D6Cu, 0x4FCF3BC3u));
  auto* requirements = static_cast<IRendererRequirements*>(
      renderer->GetInterface(Interface_ID(0x27C85C29u, 0x0FAB6EE0u)));
  ASSERT_NE(requirements, nullptr);
  EXPECT_TRUE(
      requirements->HasRequirement(IRendererRequirements::kRequirement_DontSaveRenderOutput));
  EXPECT_TRUE(
      requirements->HasRequirement(IRendererRequirements::kRequirement8_Wants32bitFPOutput));
  EXPECT_FALSE(requirements->HasRequirement(IRendererRequirements::kRequirement_NoVFB));
  EXPECT_EQ(renderer->GetInterface(Interface_ID(1, 2)), nullptr);
}

TEST_F(SceneLoadingTest, TimeIsSetAndRead) {
  load(smallScene());
  Interface* core = GetCOREInterface();
  const int redrawsBefore = standin::redraws();
  core->SetTime(5 * GetTicksPerFrame(), TRUE);
  EXPECT_EQ(core->GetTime(), 800);
  EXPECT_EQ(standin::redraws(), redrawsBefore + 1);
}

TEST_F(SceneLoadingTest, DefaultActionsAreKeptPerKind) {
  DefaultActionSys* actions = GetCOREInterface()->DefaultActions();
  DWORD action = 0;
  for (DWORD kind = TYPE_MISSING_EXTERNAL_FILES; kind <= TYPE_MISSING_UVWS; ++kind) {
    EXPECT_TRUE(actions->GetAction(kind, action));
    EXPECT_EQ(action, kFail);
  }
  EXPECT_TRUE(actions->SetAction(TYPE_MISSING_DLL_FILES, kIgnore));
  EXPECT_TRUE(actions->GetAction(TYPE_MISSING_DLL_FILES, action));
  EXPECT_EQ(action, kIgnore);
  EXPECT_EQ(standin::default_action(TYPE_MISSING_EXTERNAL_FILES), kFail);
  EXPECT_FALSE(actions->SetAction(9, kIgnore));
  action = 7;
  EXPECT_FALSE(actions->GetAction(9, action));
  EXPECT_EQ(action, 7u);
}

struct MissingReference {
  const char* kind;
  DWORD actionKind;
};

void PrintTo(const MissingReference& reference, std::ostream* out) {
  *out << reference.kind;
}

class MissingReferenceTest : public HostTest,
                             public ::testing::WithParamInterface<MissingReference> {
 protected:
  json sceneWithMissingReference() {
    json scene = smallScene();
    scene["references"] = {{{"kind", GetParam().kind}, {"name", "absent_item"}, {"missing", true}}};
    return scene;
  }
};

TEST_P(MissingReferenceTest, FailsTheLoadUnlessItsKindIsIgnored) {
  const std::string file = writeFile("scene.max", sceneWithMissingReference().dump());
  DefaultActionSys* actions = GetCOREInterface()->DefaultActions();
  Interface8* core = GetCOREInterface8();

  actions->SetAction(GetParam().actionKind, kFail);
  EXPECT_FALSE(core->LoadFromFile(file.c_str(), 6));

  // Ignoring every other kind does not help.
  for (DWORD kind = TYPE_MISSING_EXTERNAL_FILES; kind <= TYPE_MISSING_UVWS; ++kind) {
    if (kind != GetParam().actionKind) actions->SetAction(kind, kIgnore);
  }
  EXPECT_FALSE(core->LoadFromFile(file.c_str(), 6));

  actions->SetAction(GetParam().actionKind, kIgnore);
  EXPECT_TRUE(core->LoadFromFile(file.c_str(), 6));
}

INSTANTIATE_TEST_SUITE_P(Kinds, MissingReferenceTest,
                         ::testing::Values(MissingReference{"external_file",
                                                            TYPE_MISSING_EXTERNAL_FILES},
                                           MissingReference{"dll", TYPE_MISSING_DLL_FILES},
                                           MissingReference{"xref", TYPE_MISSING_XREF_FILES},
                                           MissingReference{"uvw", TYPE_MISSING_UVWS}),
                         [](const auto& test) { return std::string(test.param.kind); });

TEST_F(SceneLoadingTest, ExternalFilesAreLookedForBesideTheScene) {
  json scene = smallScene();
  scene["references"] = {{{"kind", "external_file"}, {"name", "maps/wood.png"}},
                         {{"kind", "xref"}, {"name", path("props.max")}}};
  const std::string file = writeFile("scene.max", scene.dump());
  EXPECT_FALSE(GetCOREInterface8()->LoadFromFile(file.c_str(), 6));

  std::filesystem::create_directory(folder / "maps");
  writeFile("maps/wood.png", "x");
  EXPECT_FALSE(GetCOREInterface8()->LoadFromFile(file.c_str(), 6));  // the XREF is still missing
  writeFile("props.max", "x");
  EXPECT_TRUE(GetCOREInterface8()->LoadFromFile(file.c_str(), 6));
}

TEST_F(SceneLoadingTest, LoadExceptionFaultThrowsMaxException) {
  json scene = smallScene();
  scene["faults"] = {{{"kind", "load_exception"}, {"message", "Corrupt chunk in scene"}}};
  const std::string file = writeFile("scene.max", scene.dump());
  try {
    GetCOREInterface8()->LoadFromFile(file.c_str(), 6);
    FAIL() << "no exception";
  } catch (const MAXException& e) {
    EXPECT_STREQ(e.message.data(), "Corrupt chunk in scene");
  }
}

TEST_F(SceneLoadingTest, LoadCrashFaultIsARealAccessViolation) {
  json scene = smallScene();
  scene["faults"] = {{{"kind", "load_crash"}}};
  const std::string file = writeFile("scene.max", scene.dump());
  EXPECT_EQ(faultOf([&] { GetCOREInterface8()->LoadFromFile(file.c_str(), 6); }),
            "Access Violation");
}

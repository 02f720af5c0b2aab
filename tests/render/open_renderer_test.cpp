// Opening the renderer at a job's first frame: viewport and camera paths, multi-pass effects of
// cameras and of holder nodes, and that nothing of an earlier scene's cameras is kept.
#include "host/class_ids.h"
#include "support/job_fixture.h"
#include "support/message_of.h"

#include <stdexcept>

using nlohmann::json;

namespace {

using namespace moonstone;

json perspectiveScene() {
  json document = JobTest::scene();
  document.erase("viewport");
  return document;
}

json multipassScene(int passes) {
  json document = JobTest::scene();
  document["nodes"][0]["camera"]["multipass"] = {{"passes", passes}};
  return document;
}

/// A holder-renderer scene: Camera01 of the holder camera class with the given children.
json holderScene(const json& children) {
  json document = JobTest::scene();
  document["render"]["renderer"] = {{"class_id", {"0x52AD1C02", "0x112D2FBC"}}};
  document["nodes"][0]["camera"]["class_id"] = {"0x399EE5F2", "0x584A71A8"};
  document["nodes"][0]["children"] = children;
  return document;
}

json holderChild(const std::string& name, int passes) {
  return {{"name", name}, {"camera", {{"multipass", {{"passes", passes}}}}}};
}

}  // namespace

using OpenRendererTest = JobTest;

TEST_F(OpenRendererTest, WithoutACameraRendersTheActiveViewport) {
  startJob(perspectiveScene());
  job.openRenderer(0);

  EXPECT_TRUE(job.rendererOpen);
  EXPECT_TRUE(standin::renderer_open());
  EXPECT_FALSE(job.multipassEnabled);
  EXPECT_EQ(job.multipassPassCount, 1);
  EXPECT_EQ(job.renderParams.rendType, RENDTYPE_NORMAL);
  EXPECT_EQ(job.renderParams.width, 64);
  const std::string text = log.text();
  const size_t view = text.find("Setting up render parameters\nRendering view at address ");
  ASSERT_NE(view, std::string::npos);
  EXPECT_NE(text.find("\nOpening renderer\nMultipass enabled = 0\nTotal passes = 1\n", view),
            std::string::npos);
}

TEST_F(OpenRendererTest, ThroughACameraWithAMultiPassEffect) {
  startJob(multipassScene(4), "Camera01");
  job.openRenderer(7);

  INode* camera = GetCOREInterface()->GetINodeByName("Camera01");
  EXPECT_TRUE(job.rendererOpen);
  EXPECT_EQ(job.cameraObject, camera->EvalWorldState(7 * GetTicksPerFrame()).obj);
  EXPECT_TRUE(job.multipassEnabled);
  EXPECT_EQ(job.multipassPassCount, 4);
  ASSERT_NE(job.multipassEffect, nullptr);
  EXPECT_EQ(job.multipassHolderNode, nullptr);
  const std::string text = log.text();
  EXPECT_NE(text.find("Rendering camera node Camera01\n"
                      "Checking multipass info for frame 7\n"
                      "Opening renderer\n"
                      "Multipass enabled = 1\n"
                      "Total passes = 4\n"),
            std::string::npos);
}

TEST_F(OpenRendererTest, ACameraWhoseEffectIsOffRendersOnePass) {
  json document = multipassScene(4);
  document["nodes"][0]["camera"]["multipass"]["enabled"] = false;
  startJob(document);
  job.openRenderer(0);
  EXPECT_FALSE(job.multipassEnabled);
  EXPECT_EQ(job.multipassPassCount, 1);
}

struct SinglePassEffectCase {
  const char* rendererPartA;
  const char* rendererPartB;
  bool enabled;
};

void PrintTo(const SinglePassEffectCase& c, std::ostream* out) {
  *out << "renderer " << c.rendererPartA << "," << c.rendererPartB;
}

class SinglePassEffectTest : public JobTest,
                             public ::testing::WithParamInterface<SinglePassEffectCase> {};

TEST_P(SinglePassEffectTest, RendersOnePassAndOnlyTheEffectRendererKeepsItOn) {
  json document = multipassScene(6);
  document["nodes"][0]["camera"]["multipass"]["class_id"] = {"0x6CC9546E", "0x0B1961B9"};
  document["render"]["renderer"] = {
      {"class_id", {GetParam().rendererPartA, GetParam().rendererPartB}}};
  startJob(document);
  job.openRenderer(0);
  EXPECT_EQ(job.multipassPassCount, 1);
  EXPECT_EQ(job.multipassEnabled, GetParam().enabled);
}

INSTANTIATE_TEST_SUITE_P(ByRenderer, SinglePassEffectTest,
                         ::testing::Values(SinglePassEffectCase{"0x58F67D6C", "0x4FCF3BC3", true},
                                           SinglePassEffectCase{"0x00000001", "0x00000000", false},
                                           SinglePassEffectCase{"0x52AD1C02", "0x112D2FBC",
                                                                false}));

TEST_F(OpenRendererTest, HolderRendererTakesTheEffectOfTheLastMultipassChild) {
  startJob(holderScene(json::array(
      {holderChild("Multipass", 2), holderChild("multipass", 7), holderChild("Multipass", 5)})));
  job.openRenderer(0);

  INode* camera = GetCOREInterface()->GetINodeByName("Camera01");
  ASSERT_EQ(camera->NumberOfChildren(), 3);
  EXPECT_EQ(job.multipassHolderNode, camera->GetChildNode(2));
  EXPECT_EQ(job.holderCameraObject, camera->GetChildNode(2)->EvalWorldState(0).obj);
  EXPECT_TRUE(job.multipassEnabled);
  EXPECT_EQ(job.multipassPassCount, 5);
  EXPECT_NE(job.multipassEffect, nullptr);
  EXPECT_NE(log.text().find("Multipass plugin holder camera node Multipass\n"), std::string::npos);
}

TEST_F(OpenRendererTest, HolderRendererIgnoresTheCamerasOwnEffect) {
  json document = holderScene(json::array({holderChild("Multipass", 3)}));
  document["nodes"][0]["children"][0]["camera"]["multipass"]["enabled"] = false;
  document["nodes"][0]["camera"]["multipass"] = {{"passes", 9}};
  startJob(document);
  job.openRenderer(0);
  EXPECT_NE(job.multipassHolderNode, nullptr);
  EXPECT_FALSE(job.multipassEnabled);
  EXPECT_EQ(job.multipassPassCount, 1);
}

TEST_F(OpenRendererTest, AnEarlierScenesEffectIsNotKeptOnTheViewportPath) {
  startJob(multipassScene(4));
  job.openRenderer(0);
  ASSERT_TRUE(job.multipassEnabled);
  job.EndJob();

  startJob(perspectiveScene());
  job.openRenderer(0);
  EXPECT_FALSE(job.multipassEnabled);
  EXPECT_EQ(job.multipassPassCount, 1);
  EXPECT_EQ(job.multipassEffect, nullptr);
  EXPECT_EQ(job.cameraObject, nullptr);
}

TEST_F(OpenRendererTest, AnEarlierScenesHolderIsNotKeptWhenTheCameraHasNone) {
  startJob(holderScene(json::array({holderChild("Multipass", 3)})));
  job.openRenderer(0);
  ASSERT_NE(job.multipassHolderNode, nullptr);
  job.EndJob();

  startJob(holderScene(json::array({holderChild("Target", 3)})));
  job.openRenderer(0);
  EXPECT_EQ(job.multipassHolderNode, nullptr);
  EXPECT_EQ(job.holderCameraObject, nullptr);
  EXPECT_EQ(job.multipassEffect, nullptr);
  EXPECT_FALSE(job.multipassEnabled);
  EXPECT_EQ(job.multipassPassCount, 1);
}

TEST_F(OpenRendererTest, AnOpenRendererIsLeftAsItIs) {
  startJob(multipassScene(4));
  job.openRenderer(0);
  job.multipassPassCount = 11;
  const std::string before = log.text();
  job.openRenderer(3);
  EXPECT_EQ(log.text(), before);
  EXPECT_EQ(job.multipassPassCount, 11);
  EXPECT_EQ(standin::renderer_opens(), 1);
}

TEST_F(OpenRendererTest, RegionRenderingOpensARegionRender) {
  startJob(scene());
  job.regionRendering = true;
  job.openRenderer(0);
  EXPECT_EQ(job.renderParams.rendType, RENDTYPE_REGIONCROP);
}

TEST_F(OpenRendererTest, ANodeThatIsNoCameraCannotBeRenderedThrough) {
  startJob(scene(), "Box01");
  EXPECT_EQ(messageOf<std::runtime_error>([&] { job.openRenderer(0); }),
            "Failed to open the max renderer.");
  EXPECT_FALSE(job.rendererOpen);
  EXPECT_EQ(log.text().find("Multipass enabled"), std::string::npos);
}

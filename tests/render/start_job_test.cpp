// StartJob against the stand-in host: settings reset, scene checks and loading, missing-data
// policies, render camera or viewport, renderer classification, and the output it describes.
#include "host/class_ids.h"
#include "support/job_fixture.h"
#include "support/message_of.h"

#include <max.h>

#include <DefaultActions.h>

#include <stdexcept>
#include <tuple>

using namespace moonstone;

using nlohmann::json;

using StartJobTest = JobTest;

TEST_F(StartJobTest, LoadsTheSceneAndLogsEachStep) {
  startJob(scene());

  EXPECT_TRUE(job.jobRunning);
  EXPECT_EQ(job.coreInterface, GetCOREInterface());
  EXPECT_EQ(job.coreInterface8, GetCOREInterface8());
  EXPECT_EQ(job.activeViewport, GetCOREInterface()->GetActiveViewport());
  EXPECT_FALSE(job.rendererOpen);
  EXPECT_EQ(standin::renderer_opens(), 0);
  const std::string expected =
      "StartJob begin\n"
      "setting up default actions\n"
      "Not ignoring missing external file errors\n"
      "Not ignoring missing UVW cooridinate errors\n"
      "Not ignoring missing DLL errors\n"
      "Not ignoring missing XREF errors\n"
      "Checking max file validity...\n"
      "Trying to load max file...\n"
      "Successfully loaded the max file\n"
      "setting up default actions again, just to ensure they're set\n"
      "Not ignoring missing external file errors\n"
      "Not ignoring missing UVW cooridinate errors\n"
      "Not ignoring missing DLL errors\n"
      "Not ignoring missing XREF errors\n"
      "Got the active viewport: ";
  const std::string text = log.text();
  EXPECT_EQ(text.substr(0, expected.size()), expected);
  EXPECT_NE(text.find("\nRendering viewport with camera: Camera01\n"), std::string::npos);
}

TEST_F(StartJobTest, DescribesThisScenesOutputAtOnce) {
  json first = scene();
  first["render"]["output"] = "C:\\renders\\first.png";
  startJob(first);
  job.EndJob();
  json second = scene();
  second["render"]["width"] = 320;
  second["render"]["height"] = 200;
  second["render"]["pixel_aspect"] = 1.5;
  second["render"]["output"] = "C:\\renders\\second.tga";
  startJob(second);

  EXPECT_STREQ(job.outputInfo.Name(), "C:\\renders\\second.tga");
  EXPECT_STREQ(job.outputInfo.Device(), GetCOREInterface()->GetRendFileBI().Device());
  EXPECT_EQ(job.outputInfo.Width(), 320);
  EXPECT_EQ(job.outputInfo.Height(), 200);
  EXPECT_FLOAT_EQ(job.outputInfo.Aspect(), 1.5f);
  EXPECT_EQ(job.outputInfo.Type(), BMM_TRUE_64);
  EXPECT_TRUE(job.outputInfo.Flags() & MAP_HAS_ALPHA);
}

TEST_F(StartJobTest, RefusesAFileThatIsNoScene) {
  const std::string notes = writeFile("scenes/notes.max", "just some text");
  EXPECT_EQ(messageOf<std::runtime_error>([&] { job.StartJob(notes, ""); }),
            "Invalid max file: \"" + notes + "\"");
  EXPECT_FALSE(job.jobRunning);
  EXPECT_EQ(log.text().find("Trying to load max file..."), std::string::npos);
}

TEST_F(StartJobTest, ReportsASceneTheHostCannotLoad) {
  json broken = scene();
  broken["render"]["width"] = 0;
  const std::string file = writeScene(broken);
  EXPECT_EQ(messageOf<std::runtime_error>([&] { job.StartJob(file, ""); }),
            "Failed to load max file: \"" + file + "\"");
  EXPECT_FALSE(job.jobRunning);
  EXPECT_NE(log.text().find("\nLoadFromFile() returned failure\n"), std::string::npos);
}

TEST_F(StartJobTest, ReportsTheHostsExceptionFromTheLoad) {
  json refusing = scene();
  refusing["faults"] = {{{"kind", "load_exception"}, {"message", "plug-in missing"}}};
  const std::string file = writeScene(refusing);
  EXPECT_EQ(messageOf<std::runtime_error>([&] { job.StartJob(file, ""); }),
            "Caught a MAXException in GetCOREInterface()->LoadFromFile(): plug-in missing");
  EXPECT_NE(log.text().find("\ncatch(MAXException& e) from LoadFromFile()\n"), std::string::npos);
  EXPECT_FALSE(job.jobRunning);
}

TEST_F(StartJobTest, TrapsAFaultInsideTheLoadWithItsReport) {
  json crashing = scene();
  crashing["faults"] = {{{"kind", "load_crash"}}};
  const std::string file = writeScene(crashing);
  const std::string message = messageOf<std::runtime_error>([&] { job.StartJob(file, ""); });

  const std::string trap = "Trapped SEH Exception in LoadFromFile(): Access Violation\n";
  ASSERT_EQ(message.substr(0, trap.size()), trap);
  EXPECT_EQ(message.substr(trap.size()), job.lastFaultDescription);
  EXPECT_NE(job.lastFaultDescription, "No message");
  EXPECT_FALSE(job.jobRunning);
}

TEST_F(StartJobTest, TrappedStartJobPassesThrownErrorsOnWithoutTrapText) {
  const std::string notes = writeFile("scenes/notes.max", "just some text");
  std::string errorText = "stale";
  EXPECT_THROW(job.trappedStartJob(notes, "", errorText), std::runtime_error);
  EXPECT_EQ(errorText, "");
  // The filter saw the thrown error on its way out and kept its report.
  EXPECT_NE(job.lastFaultDescription, "No message");
}

struct MissingReferenceCase {
  const char* kind;
  bool RenderJob::*ignore;
  DWORD hostKind;
};

void PrintTo(const MissingReferenceCase& c, std::ostream* out) {
  *out << c.kind;
}

class MissingReferenceTest : public JobTest,
                             public ::testing::WithParamInterface<MissingReferenceCase> {};

TEST_P(MissingReferenceTest, FailsUnlessItsKindIsIgnored) {
  json withMissing = scene();
  withMissing["references"] = {
      {{"kind", GetParam().kind}, {"name", "C:\\nowhere\\item"}, {"missing", true}}};
  const std::string file = writeScene(withMissing);

  EXPECT_EQ(messageOf<std::runtime_error>([&] { job.StartJob(file, ""); }),
            "Failed to load max file: \"" + file + "\"");
  EXPECT_FALSE(job.jobRunning);

  job.*GetParam().ignore = true;
  job.StartJob(file, "");
  EXPECT_TRUE(job.jobRunning);
  EXPECT_EQ(standin::default_action(GetParam().hostKind), DEFAULTACTIONS_LOGTOFILE);
  // StartJob leaves the flag as the command set it, for this job and the next.
  EXPECT_TRUE(job.*GetParam().ignore);
}

INSTANTIATE_TEST_SUITE_P(
    EachKind, MissingReferenceTest,
    ::testing::Values(
        MissingReferenceCase{"external_file", &RenderJob::ignoreMissingExternalFiles,
                             TYPE_MISSING_EXTERNAL_FILES},
        MissingReferenceCase{"dll", &RenderJob::ignoreMissingDLLs, TYPE_MISSING_DLL_FILES},
        MissingReferenceCase{"xref", &RenderJob::ignoreMissingXREFs, TYPE_MISSING_XREF_FILES},
        MissingReferenceCase{"uvw", &RenderJob::ignoreMissingUVWs, TYPE_MISSING_UVWS}));

TEST_F(StartJobTest, SetsTheMissingDataActionsBeforeAndAfterTheLoad) {
  job.ignoreMissingDLLs = true;
  job.ignoreMissingXREFs = true;
  startJob(scene());
  const std::string text = log.text();
  const std::string actions =
      "Not ignoring missing external file errors\n"
      "Not ignoring missing UVW cooridinate errors\n"
      "Ignoring missing DLL errors\n"
      "Ignoring missing XREF errors\n";
  const size_t first = text.find("setting up default actions\n" + actions);
  const size_t second = text.find("just to ensure they're set\n" + actions);
  ASSERT_NE(first, std::string::npos);
  ASSERT_NE(second, std::string::npos);
  EXPECT_LT(first, text.find("Trying to load max file..."));
  EXPECT_GT(second, text.find("Successfully loaded the max file"));
}

TEST_F(StartJobTest, RendersThroughANamedCamera) {
  json perspective = scene();
  perspective.erase("viewport");
  startJob(perspective, "Camera01");
  EXPECT_EQ(job.renderCameraNode, GetCOREInterface()->GetINodeByName("Camera01"));
}

TEST_F(StartJobTest, RefusesANamedCameraTheSceneLacks) {
  const std::string file = writeScene(scene());
  EXPECT_EQ(messageOf<std::runtime_error>([&] { job.StartJob(file, "Camera02"); }),
            "Scene does not contain render camera \"Camera02\"");
  EXPECT_FALSE(job.jobRunning);
}

TEST_F(StartJobTest, RendersThroughTheCameraOfACameraViewport) {
  startJob(scene());
  ASSERT_NE(job.renderCameraNode, nullptr);
  EXPECT_STREQ(job.renderCameraNode->GetName(), "Camera01");
}

TEST_F(StartJobTest, RendersAPerspectiveViewportItself) {
  json perspective = scene();
  perspective.erase("viewport");
  startJob(perspective);
  EXPECT_EQ(job.renderCameraNode, nullptr);
  EXPECT_EQ(log.text().find("Rendering viewport with camera"), std::string::npos);
}

struct RendererCase {
  const char* partA;
  const char* partB;
  bool holder;
  bool effect;
};

void PrintTo(const RendererCase& c, std::ostream* out) {
  *out << "renderer " << c.partA << "," << c.partB;
}

class RendererClassTest : public JobTest, public ::testing::WithParamInterface<RendererCase> {};

TEST_P(RendererClassTest, ClassifiesTheCurrentRenderer) {
  // Left set by an earlier job: StartJob must classify afresh.
  job.holderRenderer = true;
  job.effectRenderer = true;
  json document = scene();
  document["render"]["renderer"] = {{"class_id", {GetParam().partA, GetParam().partB}}};
  startJob(document);
  EXPECT_EQ(job.holderRenderer, GetParam().holder);
  EXPECT_EQ(job.effectRenderer, GetParam().effect);
}

INSTANTIATE_TEST_SUITE_P(ByClassId, RendererClassTest,
                         ::testing::Values(RendererCase{"0x52AD1C02", "0x112D2FBC", true, false},
                                           RendererCase{"0x58F67D6C", "0x4FCF3BC3", false, true},
                                           RendererCase{"0x58F67D6C", "0x112D2FBC", false, false},
                                           RendererCase{"0x00000001", "0x00000000", false, false}));

TEST_F(StartJobTest, WhileAJobRunsItFailsButResetsTheJobsSettings) {
  startJob(scene());
  job.frameNumberBase = 1000;
  job.showFrameBuffer = false;
  job.restartRenderer = job.removePadding = job.alphaSplit = true;
  job.failOnBlackFrames = true;
  job.blackPixelPercentage = 50;
  job.blackPixelThreshold = 0.5f;
  job.useJpegOutput = true;
  job.jpegOutputPath = "C:\\previews\\";
  job.regionRendering = true;
  job.regionRect = {1, 2, 3, 4};
  job.regionPadding = 5;
  job.regionClip = {6, 7, 8, 9};
  job.useOutputImageFilename = true;
  job.outputImageFilename = "C:\\controller\\name.png";
  job.ignoreMissingUVWs = true;
  job.currentFrame = 12;

  const std::string file = writeScene(scene(), "other.max");
  EXPECT_EQ(messageOf<std::runtime_error>([&] { job.StartJob(file, ""); }),
            "StartJob called when job was already running.");

  EXPECT_TRUE(job.jobRunning);
  EXPECT_EQ(job.frameNumberBase, 0);
  EXPECT_TRUE(job.showFrameBuffer);
  EXPECT_FALSE(job.restartRenderer || job.removePadding || job.alphaSplit);
  EXPECT_FALSE(job.failOnBlackFrames);
  EXPECT_EQ(job.blackPixelPercentage, 0);
  EXPECT_FLOAT_EQ(job.blackPixelThreshold, 0.1f);
  EXPECT_FALSE(job.useJpegOutput);
  EXPECT_EQ(job.jpegOutputPath, "");
  EXPECT_FALSE(job.regionRendering);
  const RECT zero = {0, 0, 0, 0};
  for (const RECT& r : {job.regionRect, job.regionClip}) {
    EXPECT_EQ(std::tie(r.left, r.top, r.right, r.bottom),
              std::tie(zero.left, zero.top, zero.right, zero.bottom));
  }
  EXPECT_EQ(job.regionPadding, 0);
  EXPECT_FALSE(job.useOutputImageFilename);
  // Not per-job settings: they carry over.
  EXPECT_EQ(job.outputImageFilename, "C:\\controller\\name.png");
  EXPECT_TRUE(job.ignoreMissingUVWs);
  EXPECT_EQ(job.currentFrame, 12);
}

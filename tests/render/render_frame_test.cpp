// Frames rendered through the stand-in host: file names, elements, multi-pass accumulation, the
// render options, progress to the controller, and every way a frame can fail.
#include "frame_fixture.h"

#include "render/region.h"
#include "render/seh_guard.h"
#include "support/message_of.h"

#include <maxsim_state.h>

#include <algorithm>
#include <fstream>
#include <functional>

namespace {

using namespace moonstone;
using Strings = std::vector<std::string>;

bool contains(const Strings& list, const std::string& item) {
  return std::find(list.begin(), list.end(), item) != list.end();
}

std::string elementName(const RenderJob& job, size_t i) {
  return job.elementBitmaps[i]->bi.Name();
}

Strings filesUnder(const std::filesystem::path& folder) {
  Strings files;
  if (!std::filesystem::exists(folder)) return files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
    if (entry.is_regular_file()) files.push_back(entry.path().string());
  }
  return files;
}

}  // namespace

TEST_F(FrameTest, WritesTheMainImageAndEachElementNumberedOnceOnEveryFrame) {
  startJob(scene());
  for (unsigned frame : {1u, 2u, 3u}) {
    SCOPED_TRACE(frame);
    ASSERT_EQ(render(frame), 0);
    const std::string n = "000" + std::to_string(frame);
    EXPECT_EQ(job.writtenFiles,
              (Strings{"R:\\out\\shot" + n + ".tga", "R:\\out\\elements\\alpha" + n + ".tga",
                       "R:\\out\\elements\\shapes" + n + ".tga"}));
    for (const char* file : {"out/shot", "out/elements/alpha", "out/elements/shapes"}) {
      EXPECT_EQ(readImage(file + n + ".tga").width, 16) << file;
    }
    // The scene's own names are left as they were.
    EXPECT_EQ(elementName(job, 0), "R:\\out\\elements\\alpha.tga");
    EXPECT_EQ(std::string(job.outputInfo.Name()), "R:\\out\\shot.tga");
    EXPECT_TRUE(frameBitmapsReleased());
  }
  EXPECT_EQ(standin::renderer_opens(), 1);
  EXPECT_TRUE(job.rendererOpen);
}

TEST_F(FrameTest, ReportsTheRenderersProgressToTheController) {
  startJob(scene());
  ASSERT_EQ(render(1), 0);
  EXPECT_EQ(controller.requests(),
            (Strings{"FUNCTION: PROGRESS -1", "FUNCTION: SETTITLE Rendering Image - 100.0%",
                     "FUNCTION: PROGRESS 100"}));
}

TEST_F(FrameTest, RemovePaddingUsesTheNamesAsTheyAre) {
  startJob(scene());
  job.removePadding = true;
  ASSERT_EQ(render(4), 0);
  EXPECT_EQ(job.writtenFiles, (Strings{"R:\\out\\shot.tga", "R:\\out\\elements\\alpha.tga",
                                       "R:\\out\\elements\\shapes.tga"}));
}

TEST_F(FrameTest, FrameNumberBaseNumbersTheFilesButNotTheTime) {
  startJob(scene());
  job.frameNumberBase = 1000;
  ASSERT_EQ(render(5), 0);
  EXPECT_EQ(job.writtenFiles[0], "R:\\out\\shot1005.tga");
  EXPECT_EQ(job.writtenFiles[2], "R:\\out\\elements\\shapes1005.tga");
  EXPECT_EQ(GetCOREInterface()->GetTime(), 5 * GetTicksPerFrame());
}

TEST_F(FrameTest, ControllersOutputNameReplacesTheScenes) {
  startJob(scene());
  job.useOutputImageFilename = true;
  job.outputImageFilename = "R:\\tiles\\tile.tga";
  ASSERT_EQ(render(2), 0);
  EXPECT_EQ(job.writtenFiles[0], "R:\\tiles\\tile0002.tga");
  EXPECT_TRUE(std::filesystem::exists(onDriveR("tiles/tile0002.tga")));
}

TEST_F(FrameTest, SkipsAFrameWhoseOutputExistsWithoutOpeningTheRenderer) {
  nlohmann::json s = scene();
  s["render"]["skip_existing"] = true;
  startJob(s);
  std::filesystem::create_directories(onDriveR("out"));
  std::ofstream(onDriveR("out/shot0007.tga")) << "rendered before";
  ASSERT_EQ(render(7), 0);
  EXPECT_TRUE(job.writtenFiles.empty());
  EXPECT_EQ(standin::renderer_opens(), 0);
  EXPECT_FALSE(job.rendererOpen);
  EXPECT_FALSE(std::filesystem::exists(onDriveR("out/elements")));
  EXPECT_NE(log.text().find("Skipping frame R:\\out\\shot0007.tga because it already exists\n"),
            std::string::npos);
}

TEST_F(FrameTest, OutputNotSavedRendersUnderATemporaryNameAndStillWritesTheElements) {
  nlohmann::json s = scene();
  s["render"]["save"] = false;
  startJob(s);
  ASSERT_EQ(render(1), 0);
  const std::string prefix = "C:\\foxglove\\temp\\temp_filename";
  EXPECT_EQ(job.outputBaseName.compare(0, prefix.size(), prefix), 0) << job.outputBaseName;
  EXPECT_EQ(job.outputBaseName.substr(job.outputBaseName.size() - 4), ".bmp");
  EXPECT_EQ(job.writtenFiles,
            (Strings{"R:\\out\\elements\\alpha0001.tga", "R:\\out\\elements\\shapes0001.tga"}));
  EXPECT_TRUE(filesUnder(log.drive() / "foxglove" / "temp").empty());
}

TEST_F(FrameTest, RendererThatSavesItsOwnOutputGetsOnlyTheElementsWritten) {
  nlohmann::json s = scene();
  s["render"]["renderer"] = {{"requirements", {2}}};
  startJob(s);
  job.useJpegOutput = true;
  job.jpegOutputPath = "R:\\previews\\";
  ASSERT_EQ(render(1), 0);
  EXPECT_EQ(job.writtenFiles,
            (Strings{"R:\\out\\elements\\alpha0001.tga", "R:\\out\\elements\\shapes0001.tga"}));
  EXPECT_FALSE(std::filesystem::exists(onDriveR("out/shot0001.tga")));
  EXPECT_TRUE(filesUnder(onDriveR("previews")).empty());
}

TEST_F(FrameTest, RestartModeOpensAndClosesTheRendererForEveryFrame) {
  startJob(scene());
  job.restartRenderer = true;
  for (unsigned frame : {1u, 2u}) {
    ASSERT_EQ(render(frame), 0);
    EXPECT_FALSE(job.rendererOpen);
    EXPECT_EQ(standin::renderer_opens(), static_cast<int>(frame));
    EXPECT_EQ(standin::renderer_closes(), static_cast<int>(frame));
  }
  // Taken again from the render settings, the element names are still numbered only once.
  EXPECT_EQ(job.writtenFiles, (Strings{"R:\\out\\shot0002.tga", "R:\\out\\elements\\alpha0002.tga",
                                       "R:\\out\\elements\\shapes0002.tga"}));
}

// Tiles of one job with the renderer kept open: each frame's images have the size of the region
// set for it, not of the region the renderer was opened with.
TEST_F(FrameTest, RegionModeWritesImagesOfEachFramesRectangle) {
  const auto expectImagesSized = [this](const std::string& frame, int width, int height) {
    for (const std::string file : {"out/shot", "out/elements/alpha", "out/elements/shapes"}) {
      const RgbaImage image = readImage(file + frame + ".tga");
      EXPECT_EQ(image.width, width) << file << frame;
      EXPECT_EQ(image.height, height) << file << frame;
    }
  };
  startJob(scene());
  SetRegion(job, 2, 4, 2, 12, 6);
  ASSERT_EQ(render(1), 0);
  ASSERT_EQ(job.writtenFiles.size(), 3u);
  expectImagesSized("0001", 8, 4);
  SetRegion(job, 1, 0, 0, 5, 3);
  ASSERT_EQ(render(2), 0);
  EXPECT_EQ(standin::renderer_opens(), 1);
  expectImagesSized("0002", 5, 3);
}

// A region with its sides crossed, or wholly outside the 16 by 8 image, is refused before any
// bitmap is made (its size would otherwise wrap into a huge one); a sound region then renders.
TEST_F(FrameTest, AnEmptyRegionFailsTheFrameAndTheNextRegionRenders) {
  startJob(scene());
  for (const RECT& request : {RECT{12, 2, 4, 6}, RECT{100, 2, 200, 6}, RECT{4, 6, 12, 6}}) {
    SetRegion(job, 0, request.left, request.top, request.right, request.bottom);
    const std::string message = messageOf<std::runtime_error>([this] { render(1); });
    EXPECT_EQ(message.rfind("The region to render holds no pixels: left ", 0), 0u) << message;
    EXPECT_TRUE(filesUnder(onDriveR("out")).empty());
    EXPECT_TRUE(frameBitmapsReleased());
  }
  SetRegion(job, 2, 4, 2, 12, 6);
  ASSERT_EQ(render(1), 0);
  EXPECT_EQ(readImage("out/shot0001.tga").width, 8);
}

TEST_F(FrameTest, JpegPreviewGoesIntoItsFolderWithoutBeingRecorded) {
  startJob(scene());
  job.useJpegOutput = true;
  job.jpegOutputPath = "R:\\previews\\";
  ASSERT_EQ(render(3), 0);
  EXPECT_EQ(readImage("previews/shot0003.jpg").width, 16);
  EXPECT_FALSE(contains(job.writtenFiles, "R:\\previews\\shot0003.jpg"));
  EXPECT_EQ(job.writtenFiles.size(), 3u);
  EXPECT_TRUE(job.useJpegOutput);
}

TEST_F(FrameTest, EmptyJpegFolderTurnsThePreviewOff) {
  startJob(scene());
  job.useJpegOutput = true;
  ASSERT_EQ(render(1), 0);
  EXPECT_FALSE(job.useJpegOutput);
  EXPECT_EQ(job.writtenFiles.size(), 3u);
}

TEST_F(FrameTest, AccessViolationInTheRendererIsTrappedAndTheNextFrameRenders) {
  nlohmann::json s = scene();
  s["faults"] = {{{"kind", "access_violation"}, {"frame", 2}}};
  startJob(s);
  const std::string message = messageOf<std::runtime_error>([this] { render(2); });
  EXPECT_NE(job.lastFaultDescription, "No message");
  EXPECT_EQ(message, "Trapped SEH Exception in CurRendererRenderFrame(): Access Violation\n" +
                         job.lastFaultDescription);
  EXPECT_TRUE(frameBitmapsReleased());
  ASSERT_EQ(render(3), 0);
  EXPECT_EQ(job.writtenFiles[1], "R:\\out\\elements\\alpha0003.tga");
}

class MultiPassFrameTest : public FrameTest {
 public:
  /// Renders the frame of the multi-pass scene and checks its two images.
  void expectAveragedFrame(unsigned frame) {
    SCOPED_TRACE(frame);
    ASSERT_EQ(render(frame), 0);
    const std::string n = "000" + std::to_string(frame) + ".tga";
    EXPECT_EQ(job.writtenFiles, (Strings{"R:\\out\\shot" + n, "R:\\out\\elements\\beauty" + n}));
    const RgbaImage main = readImage("out/shot" + n);
    // Every pass looks from a little aside, so the disc's edge is a mixture of disc and sky.
    EXPECT_TRUE(std::any_of(main.rgba.begin(), main.rgba.end(),
                            [](unsigned char c) { return c > 10 && c < 245; }));
    // The beauty element is accumulated pass by pass exactly like the main image.
    EXPECT_EQ(readImage("out/elements/beauty" + n).rgba, main.rgba);
    EXPECT_TRUE(frameBitmapsReleased());
  }

  /// The multi-pass scene with an access violation while frame 1's first pass is accumulated:
  /// after the renderer returned, outside its trap, with every bitmap of the frame made.
  static nlohmann::json accumulateFaultScene() {
    nlohmann::json s = multiPassScene();
    s["faults"] = {{{"kind", "access_violation"}, {"at", "accumulate"}, {"frame", 1}}};
    return s;
  }
};

TEST_F(MultiPassFrameTest, AveragesThePassesIntoTheMainImageAndTheElements) {
  startJob(multiPassScene());
  expectAveragedFrame(1);
  expectAveragedFrame(2);
}

TEST_F(MultiPassFrameTest, AFaultTrappedAfterTheRenderLeavesNothingOfItsFrame) {
  startJob(accumulateFaultScene());
  std::string errorText;
  EXPECT_EQ(job.trappedRenderFrame(1, controller.plugin, errorText), 1);
  EXPECT_EQ(errorText, "Trapped SEH Exception in RenderFrame(): Access Violation");
  EXPECT_TRUE(frameBitmapsReleased());
  EXPECT_FALSE(job.frameBitmap || job.passBitmap);
  EXPECT_STREQ(job.outputInfo.Name(), "R:\\out\\shot.tga");
  expectAveragedFrame(2);
}

TEST_F(MultiPassFrameTest, AFrameAbandonedByAnOuterTrapIsEndedByTheNextFrame) {
  startJob(accumulateFaultScene());
  DWORD code = 0;
  ASSERT_FALSE(moonstone::runGuarded([this] { render(1); }, job.faultFilter(), code));
  ASSERT_FALSE(frameBitmapsReleased());  // as the fault left them
  expectAveragedFrame(2);
}

TEST_F(MultiPassFrameTest, EveryPassReportsItsShareOfTheFrame) {
  startJob(multiPassScene());
  ASSERT_EQ(render(1), 0);
  const Strings requests = controller.requests();
  EXPECT_TRUE(contains(requests, "FUNCTION: SETTITLE Pass 2 of 4 - Rendering Image - 100.0%"));
  EXPECT_TRUE(contains(requests, "FUNCTION: PROGRESS 50"));
  EXPECT_EQ(requests.back(), "FUNCTION: PROGRESS 100");
}

/// A frame that fails, and what it fails with.
struct FailureCase {
  const char* name;
  std::function<nlohmann::json()> scene;
  std::function<void(FrameTest&)> prepare;
  const char* message;
  /// The message is followed by a line end and the fault report.
  bool withFaultReport;
  /// Images written (and recorded) before the failure.
  size_t imagesWritten;
};

void PrintTo(const FailureCase& failure, std::ostream* out) {
  *out << failure.name;
}

class FailedFrameTest : public FrameTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(FailedFrameTest, FailsWithItsMessageAndLeavesNoBitmapBehind) {
  const FailureCase& failure = GetParam();
  startJob(failure.scene());
  failure.prepare(*this);
  const std::string message = messageOf<std::runtime_error>([this] { render(1); });
  const std::string report = failure.withFaultReport ? "\n" + job.lastFaultDescription : "";
  EXPECT_EQ(message, failure.message + report);
  EXPECT_TRUE(frameBitmapsReleased());
  EXPECT_EQ(job.writtenFiles.size(), failure.imagesWritten);
  EXPECT_EQ(filesUnder(onDriveR("out")).size(), failure.imagesWritten);
}

const FailureCase failureCases[] = {
    {"ControllerAnswersStop", FrameTest::scene,
     [](FrameTest& t) { t.controller.setProgressAnswer("STOP"); }, "Failed to render the frame.",
     false, 0},
    {"ControllerStopsAPass", FrameTest::multiPassScene,
     [](FrameTest& t) { t.controller.setProgressAnswer("STOP"); },
     "Failed to render the frame for pass 1 of 4", false, 0},
    {"AccessViolationInAPass",
     [] {
       nlohmann::json s = FrameTest::multiPassScene();
       s["faults"] = {{{"kind", "access_violation"}, {"frame", 1}}};
       return s;
     },
     [](FrameTest&) {}, "Trapped SEH Exception in CurRendererRenderFrame(): Access Violation", true,
     0},
    {"BlackFrame",
     [] {
       nlohmann::json s = FrameTest::scene();
       s["image"]["blackout"] = {{{"first", 1}}};
       return s;
     },
     [](FrameTest& t) {
       t.job.failOnBlackFrames = true;
       t.job.blackPixelPercentage = 50;
     },
     "100% of the output image is black, which equals or exceeds the minimum of 50%", false, 0},
    {"MainImageFolderIsAFile",
     [] {
       nlohmann::json s = FrameTest::scene();
       s["render"]["output"] = "R:\\blocked\\shot.tga";
       return s;
     },
     [](FrameTest& t) { std::ofstream(t.onDriveR("blocked")) << "a file"; },
     "Error in bm->Write(): error code 5", false, 0},
    {"AccumulatedElementCannotBeWritten",
     [] {
       nlohmann::json s = FrameTest::multiPassScene();
       s["render_elements"]["elements"][0]["output"] = "R:\\blocked\\beauty.tga";
       return s;
     },
     [](FrameTest& t) { std::ofstream(t.onDriveR("blocked")) << "a file"; },
     "Error in bm->Write(): error code 5", false, 1},
};

INSTANTIATE_TEST_SUITE_P(Frames, FailedFrameTest, ::testing::ValuesIn(failureCases),
                         [](const ::testing::TestParamInfo<FailureCase>& test) {
                           return std::string(test.param.name);
                         });

TEST_F(FrameTest, RendererThatCannotBeOpenedFailsTheFrame) {
  nlohmann::json s = scene();
  s["nodes"].push_back({{"name", "Box01"}, {"object", nlohmann::json::object()}});
  const std::filesystem::path file = onDriveR("scene.max");
  std::ofstream(file) << s.dump();
  job.StartJob(file.string(), "Box01");
  EXPECT_EQ(messageOf<std::runtime_error>([this] { render(1); }),
            "Failed to open the max renderer.");
  EXPECT_FALSE(job.rendererOpen);
  EXPECT_TRUE(frameBitmapsReleased());
}

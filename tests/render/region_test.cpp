// Region rendering: the padded, clipped rectangle of a request, and region images cut from the
// rendered padded bitmap, checked on the files written.
#include "render/test_images.h"
#include "render/region.h"
#include "support/job_fixture.h"
#include "support/message_of.h"

#include <climits>
#include <stdexcept>
#include <tuple>

namespace {

using namespace moonstone;

std::tuple<LONG, LONG, LONG, LONG> sides(const RECT& r) {
  return {r.left, r.top, r.right, r.bottom};
}

}  // namespace

class RegionTest : public JobTest {
 protected:
  void SetUp() override {
    nlohmann::json document = scene();
    document["render"]["width"] = 640;
    document["render"]["height"] = 480;
    startJob(document);
    std::filesystem::create_directories(onDisk("regions"));
  }

  /// Renders the region as the renderer would (a bitmap of regionRect's size whose pixel colours
  /// tell their place), writes it as a region image, and reads the file back.
  Image writeRegion() {
    const RECT& rect = job.regionRect;
    BitmapPtr rendered =
        makeBitmap(rect.right - rect.left, rect.bottom - rect.top, coordinateColour);
    BitmapInfo info;
    info.SetName("C:\\regions\\tile.png");
    WriteRegionImage(job, rendered.get(), &info);
    return readImage(onDisk("regions/tile.png"));
  }

  /// Expects every pixel of the image to be the rendered pixel at the offset, or transparent
  /// black where the rendered bitmap does not reach.
  void expectCutFrom(const Image& image, int offsetX, int offsetY) {
    const RECT& rect = job.regionRect;
    const int renderedWidth = rect.right - rect.left, renderedHeight = rect.bottom - rect.top;
    int wrong = 0;
    for (int y = 0; y < image.height; ++y) {
      for (int x = 0; x < image.width; ++x) {
        const int sx = x + offsetX, sy = y + offsetY;
        const bool covered = sx >= 0 && sy >= 0 && sx < renderedWidth && sy < renderedHeight;
        const unsigned char expected[4] = {static_cast<unsigned char>(covered ? sx : 0),
                                           static_cast<unsigned char>(covered ? sy : 0),
                                           static_cast<unsigned char>(covered ? 128 : 0),
                                           static_cast<unsigned char>(covered ? 255 : 0)};
        for (int c = 0; c < 4; ++c) {
          if (image.at(x, y, c) != expected[c] && ++wrong <= 5) {
            ADD_FAILURE() << "pixel " << x << "," << y << " channel " << c << ": "
                          << int(image.at(x, y, c)) << " instead of " << int(expected[c]);
          }
        }
      }
    }
    EXPECT_EQ(wrong, 0);
  }
};

struct RegionCase {
  int padding, left, top, right, bottom;
  RECT rect;
  RECT clip;
  int imageWidth, imageHeight;
  int sourceX, sourceY;  // the rendered pixel that the image's (0, 0) shows
};

void PrintTo(const RegionCase& c, std::ostream* out) {
  *out << "padding " << c.padding << " request " << c.left << "," << c.top << "," << c.right << ","
       << c.bottom;
}

class RegionCaseTest : public RegionTest, public ::testing::WithParamInterface<RegionCase> {};

TEST_P(RegionCaseTest, RendersThePaddedRectangleAndWritesTheRequestedOne) {
  const RegionCase& c = GetParam();
  SetRegion(job, c.padding, c.left, c.top, c.right, c.bottom);
  EXPECT_TRUE(job.regionRendering);
  EXPECT_EQ(job.regionPadding, c.padding);
  EXPECT_EQ(sides(job.regionRect), sides(c.rect));
  EXPECT_EQ(sides(job.regionClip), sides(c.clip));

  const Image image = writeRegion();
  ASSERT_EQ(image.channels, 4);
  EXPECT_EQ(image.width, c.imageWidth);
  EXPECT_EQ(image.height, c.imageHeight);
  expectCutFrom(image, c.sourceX, c.sourceY);
  EXPECT_EQ(job.writtenFiles, std::vector<std::string>{"C:\\regions\\tile.png"});
}

INSTANTIATE_TEST_SUITE_P(
    Output640x480, RegionCaseTest,
    ::testing::Values(
        // Inside the image: padded on every side, nothing clipped.
        RegionCase{8, 100, 100, 200, 150, {92, 92, 208, 158}, {0, 0, 0, 0}, 100, 50, 8, 8},
        // At the top-left corner.
        RegionCase{8, 0, 0, 100, 100, {0, 0, 108, 108}, {8, 8, 0, 0}, 100, 100, 0, 0},
        // At the bottom-right corner.
        RegionCase{8, 600, 440, 640, 480, {592, 432, 640, 480}, {0, 0, 8, 8}, 40, 40, 8, 8},
        // Without padding the image is the rendered bitmap.
        RegionCase{0, 10, 20, 110, 70, {10, 20, 110, 70}, {0, 0, 0, 0}, 100, 50, 0, 0},
        // Past the image's edges: as wide and high as asked, transparent where nothing rendered.
        RegionCase{0, 600, 400, 700, 500, {600, 400, 640, 480}, {0, 0, 60, 20}, 100, 100, 0, 0}));

TEST_F(RegionTest, ASecondRegionDoesNotKeepTheFirstOnesClips) {
  SetRegion(job, 8, 0, 0, 100, 100);
  SetRegion(job, 8, 100, 100, 200, 150);
  EXPECT_EQ(sides(job.regionClip), std::make_tuple(0, 0, 0, 0));

  const Image image = writeRegion();
  EXPECT_EQ(image.width, 100);
  EXPECT_EQ(image.height, 50);
  expectCutFrom(image, 8, 8);
}

TEST_F(RegionTest, ExtremeNumbersStayWithinTheImage) {
  SetRegion(job, INT_MAX, INT_MIN, INT_MIN, INT_MAX, INT_MAX);
  EXPECT_EQ(sides(job.regionRect), std::make_tuple(0, 0, 640, 480));
  SetRegion(job, INT_MIN, INT_MAX, INT_MAX, INT_MIN, INT_MIN);
  EXPECT_EQ(sides(job.regionClip), std::make_tuple(0, 0, 0, 0));
}

TEST_F(RegionTest, ARenderedBitmapSmallerThanItsPaddingGivesNoImage) {
  SetRegion(job, 8, 100, 100, 200, 150);
  BitmapPtr tooSmall = makeBitmap(10, 10, coordinateColour);
  BitmapInfo info;
  info.SetName("C:\\regions\\tile.png");
  EXPECT_EQ(messageOf<std::runtime_error>([&] { WriteRegionImage(job, tooSmall.get(), &info); }),
            "Failed to allocate region Bitmap: TheManager->Create() return NULL");
  EXPECT_FALSE(std::filesystem::exists(onDisk("regions/tile.png")));
  EXPECT_TRUE(job.writtenFiles.empty());
}

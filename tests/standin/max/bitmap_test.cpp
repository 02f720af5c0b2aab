// Bitmaps in memory: descriptions, creation, pixels, the frame-buffer window, placed copies, and
// numbered file names.
#include "host_fixture.h"

#include <max.h>

#include <bmmlib.h>

#include <cmath>
#include <limits>
#include <string>

namespace {

struct BitmapDeleter {
  void operator()(Bitmap* bitmap) const { bitmap->DeleteThis(); }
};
using BitmapPtr = std::unique_ptr<Bitmap, BitmapDeleter>;

BitmapPtr create(int width, int height, int type = BMM_TRUE_64) {
  BitmapInfo bi;
  bi.SetWidth(static_cast<WORD>(width));
  bi.SetHeight(static_cast<WORD>(height));
  bi.SetType(type);
  return BitmapPtr(TheManager->Create(&bi));
}

/// Fills the bitmap with colours that name their position: r = x, g = y.
void fillWithPositions(Bitmap* bitmap) {
  for (int y = 0; y < bitmap->Height(); ++y) {
    for (int x = 0; x < bitmap->Width(); ++x) {
      const BMM_Color_fl c(static_cast<float>(x), static_cast<float>(y), 0, 1);
      bitmap->PutPixels(x, y, 1, &c);
    }
  }
}

}  // namespace

TEST(BitmapInfoTest, CopyTakesEveryField) {
  BitmapInfo bi;
  bi.SetName("C:\\out\\shot.tga");
  bi.SetDevice("Targa Image File");
  bi.SetWidth(320);
  bi.SetHeight(240);
  bi.SetAspect(1.5f);
  bi.SetType(BMM_FLOAT_RGBA_32);
  bi.SetFlags(MAP_HAS_ALPHA);
  bi.SetCustomFlag(BMM_CUSTOM_POS);
  bi.SetCustomX(-8);
  bi.SetCustomY(-4);
  bi.SetDeviceSetting(BMM_SETTING_ALPHA_SPLIT, "1");

  BitmapInfo copy;
  copy.Copy(&bi);
  EXPECT_STREQ(copy.Name(), "C:\\out\\shot.tga");
  EXPECT_STREQ(copy.Device(), "Targa Image File");
  EXPECT_EQ(copy.Width(), 320);
  EXPECT_EQ(copy.Height(), 240);
  EXPECT_FLOAT_EQ(copy.Aspect(), 1.5f);
  EXPECT_EQ(copy.Type(), BMM_FLOAT_RGBA_32);
  EXPECT_EQ(copy.Flags(), MAP_HAS_ALPHA);
  EXPECT_EQ(copy.GetCustomFlags(), BMM_CUSTOM_POS);
  EXPECT_EQ(copy.GetCustomX(), -8);
  EXPECT_EQ(copy.GetCustomY(), -4);
  EXPECT_STREQ(copy.GetDeviceSetting(BMM_SETTING_ALPHA_SPLIT), "1");
}

TEST(BitmapInfoTest, FlagsAreAddedAndRemoved) {
  BitmapInfo bi;
  bi.SetFlags(1);
  bi.SetFlags(MAP_HAS_ALPHA);
  EXPECT_EQ(bi.Flags(), 3u);
  bi.ResetFlags(1);
  EXPECT_EQ(bi.Flags(), MAP_HAS_ALPHA);
  bi.SetCustomFlag(8);
  bi.SetCustomFlag(8);
  EXPECT_EQ(bi.GetCustomFlags(), 8u);
  bi.ResetCustomFlag(0xFFFFFFFFu);
  EXPECT_EQ(bi.GetCustomFlags(), 0u);
  EXPECT_STREQ(bi.GetDeviceSetting("unknown"), "");
}

TEST(BitmapTest, CreatedTransparentBlackAtTheInfosSize) {
  BitmapPtr bitmap = create(4, 3, BMM_FLOAT_RGBA_32);
  ASSERT_NE(bitmap, nullptr);
  EXPECT_EQ(bitmap->Width(), 4);
  EXPECT_EQ(bitmap->Height(), 3);
  EXPECT_EQ(bitmap->Type(), BMM_FLOAT_RGBA_32);
  EXPECT_EQ(bitmap->Storage()->Width(), 4);
  const BMM_Color_fl c = pixel(bitmap.get(), 3, 2);
  EXPECT_TRUE(c.r == 0 && c.g == 0 && c.b == 0 && c.a == 0);
}

TEST(BitmapTest, NoBitmapOfZeroSize) {
  EXPECT_EQ(create(0, 3), nullptr);
  EXPECT_EQ(create(3, 0), nullptr);
  EXPECT_EQ(TheManager->Create(nullptr), nullptr);
}

TEST(BitmapTest, PixelRunsOutsideTheImageAreRefused) {
  BitmapPtr bitmap = create(4, 3, BMM_FLOAT_RGBA_32);
  BMM_Color_fl run[4];
  EXPECT_TRUE(bitmap->GetPixels(0, 2, 4, run));
  EXPECT_FALSE(bitmap->GetPixels(1, 2, 4, run));
  EXPECT_FALSE(bitmap->GetPixels(0, 3, 1, run));
  EXPECT_FALSE(bitmap->PutPixels(-1, 0, 1, run));
  const BMM_Color_fl written(0.25f, 0.5f, 2.0f, -1.0f);  // a float bitmap keeps these
  EXPECT_TRUE(bitmap->PutPixels(2, 1, 1, &written));
  const BMM_Color_fl read = pixel(bitmap.get(), 2, 1);
  EXPECT_EQ(read.b, 2.0f);
  EXPECT_EQ(read.a, -1.0f);
}

// What each type holds: a floating-point bitmap every float; the others the nearest 16-bit level
// of the value clamped to 0..1.
TEST(BitmapTest, PixelsAreHeldAsDeepAsTheType) {
  const float notANumber = std::numeric_limits<float>::quiet_NaN();
  const struct {
    float written, asLevel;
  } values[] = {{0.0f, 0.0f},
                {1.0f, 1.0f},
                {0.5f, 32768 / 65535.0f},  // halfway between two levels: the upper
                {0.1f, 6554 / 65535.0f},
                {1000 / 65535.0f, 1000 / 65535.0f},
                {4.0f, 1.0f},
                {-0.5f, 0.0f},
                {notANumber, 0.0f}};
  for (const auto& v : values) {
    SCOPED_TRACE(v.written);
    for (int type : {BMM_TRUE_64, BMM_TRUE_32, BMM_FLOAT_RGBA_32}) {
      BitmapPtr bitmap = create(3, 1, type);
      // The middle pixel of three, with neighbours that must stay as they are.
      const BMM_Color_fl row[3] = {BMM_Color_fl(1, 1, 1, 1),
                                   BMM_Color_fl(0.25f, 0.75f, 1.0f, v.written),
                                   BMM_Color_fl(1, 1, 1, 1)};
      ASSERT_TRUE(bitmap->PutPixels(0, 0, 3, row));
      BMM_Color_fl back[3];
      ASSERT_TRUE(bitmap->GetPixels(0, 0, 3, back));
      if (type == BMM_FLOAT_RGBA_32) {
        EXPECT_TRUE(back[1].a == v.written || (std::isnan(back[1].a) && std::isnan(v.written)));
      } else {
        EXPECT_EQ(back[1].a, v.asLevel) << "type " << type;
      }
      EXPECT_EQ(back[1].r, type == BMM_FLOAT_RGBA_32 ? 0.25f : 16384 / 65535.0f);
      EXPECT_EQ(back[1].b, 1.0f);
      EXPECT_EQ(back[0].g, 1.0f);
      EXPECT_EQ(back[2].a, 1.0f);
    }
  }
}

TEST(BitmapTest, DisplayShowsUntilUnDisplay) {
  BitmapPtr bitmap = create(4, 3);
  EXPECT_EQ(bitmap->GetWindow(), nullptr);
  EXPECT_TRUE(bitmap->Display(nullptr, BMM_CN, FALSE, TRUE, nullptr, nullptr));
  EXPECT_NE(bitmap->GetWindow(), nullptr);
  EXPECT_TRUE(bitmap->UnDisplay());
  EXPECT_EQ(bitmap->GetWindow(), nullptr);
  EXPECT_FALSE(bitmap->UnDisplay());
}

TEST(BitmapTest, PrepareGChannels) {
  BitmapPtr bitmap = create(4, 3);
  BitmapInfo bi;
  EXPECT_FALSE(bitmap->HasGChannels());
  EXPECT_TRUE(bitmap->PrepareGChannels(&bi));
  EXPECT_TRUE(bitmap->HasGChannels());
}

struct Placement {
  const char* label;
  int sourceW, sourceH, destW, destH;
  int customX, customY;
  int sampleX, sampleY;  // a destination pixel
  bool covered;          // whether the source covers it
  int fromX, fromY;      // then: the source pixel it shows
};

void PrintTo(const Placement& placement, std::ostream* out) {
  *out << placement.label;
}

class CopyImageTest : public ::testing::TestWithParam<Placement> {};

TEST_P(CopyImageTest, PlacesTheSourceByTheCustomPosition) {
  const Placement& p = GetParam();
  // Floating-point bitmaps: the positions are colours far beyond 0..1.
  BitmapPtr source = create(p.sourceW, p.sourceH, BMM_FLOAT_RGBA_32);
  fillWithPositions(source.get());
  BitmapPtr destination = create(p.destW, p.destH, BMM_FLOAT_RGBA_32);
  BitmapInfo bi;
  bi.SetCustomFlag(BMM_CUSTOM_POS);
  bi.SetCustomX(p.customX);
  bi.SetCustomY(p.customY);
  ASSERT_TRUE(destination->CopyImage(source.get(), COPY_IMAGE_USE_CUSTOM,
                                     BMM_Color_fl(0.5f, 0.5f, 0.5f, 0), &bi));
  const BMM_Color_fl c = pixel(destination.get(), p.sampleX, p.sampleY);
  if (p.covered) {
    EXPECT_EQ(c.r, p.fromX);
    EXPECT_EQ(c.g, p.fromY);
    EXPECT_EQ(c.a, 1.0f);
  } else {
    EXPECT_EQ(c.r, 0.5f);  // the fill colour
    EXPECT_EQ(c.a, 0.0f);
  }
}

INSTANTIATE_TEST_SUITE_P(Placements, CopyImageTest,
                         ::testing::Values(
                             // A padded region 116x66 cut to 100x50: source (8, 8) lands on (0, 0).
                             Placement{"paddingCut", 116, 66, 100, 50, -8, -8, 0, 0, true, 8, 8},
                             Placement{"paddingCutFar", 116, 66, 100, 50, -8, -8, 99, 49, true, 107,
                                       57},
                             // Clipped on the left and top: no offset.
                             Placement{"clipped", 108, 108, 100, 100, 0, 0, 0, 0, true, 0, 0},
                             // A destination larger than the source: the rest is filled.
                             Placement{"filled", 10, 10, 20, 20, 0, 0, 15, 15, false, 0, 0},
                             Placement{"positiveOffset", 10, 10, 20, 20, 5, 5, 5, 6, true, 0, 1},
                             Placement{"beforeOffset", 10, 10, 20, 20, 5, 5, 4, 4, false, 0, 0}),
                         [](const auto& test) { return std::string(test.param.label); });

TEST(CopyImageModesTest, WithoutPositionTheSourceIsCentred) {
  BitmapPtr source = create(2, 2);
  fillWithPositions(source.get());
  BitmapPtr destination = create(6, 4);
  BitmapInfo bi;
  ASSERT_TRUE(destination->CopyImage(source.get(), COPY_IMAGE_USE_CUSTOM, BMM_Color_fl(), &bi));
  EXPECT_EQ(pixel(destination.get(), 2, 1).a, 1.0f);
  EXPECT_EQ(pixel(destination.get(), 3, 2).r, 1.0f);
  EXPECT_EQ(pixel(destination.get(), 1, 1).a, 0.0f);
}

TEST(CopyImageModesTest, UnknownOperationOrNoSourceFails) {
  BitmapPtr source = create(2, 2);
  BitmapPtr destination = create(2, 2);
  EXPECT_FALSE(destination->CopyImage(source.get(), 1, BMM_Color_fl(), nullptr));
  EXPECT_FALSE(destination->CopyImage(nullptr, COPY_IMAGE_CROP, BMM_Color_fl(), nullptr));
}

struct NumberedName {
  const char* in;
  int frame;
  const char* out;
};

void PrintTo(const NumberedName& name, std::ostream* out) {
  *out << name.in << ", frame " << name.frame;
}

class NumberedFilenameTest : public ::testing::TestWithParam<NumberedName> {};

TEST_P(NumberedFilenameTest, PutsTheNumberBeforeTheExtension) {
  MCHAR out[MAX_PATH];
  BMMCreateNumberedFilename(GetParam().in, GetParam().frame, out);
  EXPECT_STREQ(out, GetParam().out);
}

INSTANTIATE_TEST_SUITE_P(
    Names, NumberedFilenameTest,
    ::testing::Values(NumberedName{"name.tga", 5, "name0005.tga"},
                      NumberedName{"C:\\out\\shot.tga", 0, "C:\\out\\shot0000.tga"},
                      NumberedName{"C:\\out\\shot.tga", 1005, "C:\\out\\shot1005.tga"},
                      NumberedName{"C:\\out\\shot.tga", 12345, "C:\\out\\shot12345.tga"},
                      NumberedName{"C:\\out\\shot.tga", -5, "C:\\out\\shot-0005.tga"},
                      NumberedName{"C:\\out\\a.b.exr", 7, "C:\\out\\a.b0007.exr"},
                      NumberedName{"C:\\out.d\\noext", 7, "C:\\out.d\\noext0007"},
                      NumberedName{"/tmp/x/shot_.png", 42, "/tmp/x/shot_0042.png"},
                      NumberedName{"", 3, "0003"}));

TEST(NumberedFilenameLimitTest, TooLongForAPathGivesEmptyName) {
  const std::string longName = std::string(MAX_PATH - 6, 'a') + ".tga";
  MCHAR out[MAX_PATH];
  BMMCreateNumberedFilename(longName.c_str(), 1, out);
  EXPECT_STREQ(out, "");
}

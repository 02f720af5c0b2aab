// The black-frame test: which pixels count as black, the share against the limit, its messages.
#include "render/test_images.h"
#include "render/black_frame.h"
#include "support/job_fixture.h"
#include "support/message_of.h"

#include <cctype>
#include <limits>
#include <stdexcept>

using namespace moonstone;

using BlackFrameTest = JobTest;

struct PixelCase {
  const char* what;
  BMM_Color_fl colour;
  float threshold;
  bool black;
};

void PrintTo(const PixelCase& c, std::ostream* out) {
  *out << c.what;
}

class BlackPixelTest : public JobTest, public ::testing::WithParamInterface<PixelCase> {};

TEST_P(BlackPixelTest, OnePixelFrameFailsExactlyWhenThePixelIsBlack) {
  job.blackPixelPercentage = 100;
  job.blackPixelThreshold = GetParam().threshold;
  // A floating-point frame holds each colour exactly, NaN included; a 64-bit one would round it to
  // a 16-bit level first.
  BitmapPtr frame = makeBitmap(
      1, 1, [](int, int) { return GetParam().colour; }, BMM_FLOAT_RGBA_32);
  bool failed = false;
  try {
    CheckBlackFrame(job, frame.get());
  } catch (const std::runtime_error&) {
    failed = true;
  }
  EXPECT_EQ(failed, GetParam().black);
}

const float notANumber = std::numeric_limits<float>::quiet_NaN();

INSTANTIATE_TEST_SUITE_P(
    Rules, BlackPixelTest,
    ::testing::Values(
        PixelCase{"opaque dark", BMM_Color_fl(0.05f, 0.0f, 0.1f, 1.0f), 0.1f, true},
        PixelCase{"transparent dark", BMM_Color_fl(0, 0, 0, 0), 0.1f, true},
        PixelCase{"components at the threshold", BMM_Color_fl(0.1f, 0.1f, 0.1f, 0.9f), 0.1f, true},
        PixelCase{"one component above", BMM_Color_fl(0.0f, 0.11f, 0.0f, 1.0f), 0.1f, false},
        PixelCase{"middling alpha", BMM_Color_fl(0, 0, 0, 0.5f), 0.1f, false},
        PixelCase{"middling alpha under a high threshold", BMM_Color_fl(0, 0, 0, 0.5f), 0.5f, true},
        PixelCase{"middling alpha just under", BMM_Color_fl(0, 0, 0, 0.5f), 0.49f, false},
        PixelCase{"negative components", BMM_Color_fl(-1, -1, -1, 1), 0.1f, true},
        PixelCase{"NaN colour", BMM_Color_fl(notANumber, 0, 0, 1), 0.1f, false},
        PixelCase{"NaN alpha", BMM_Color_fl(0, 0, 0, notANumber), 0.1f, false},
        PixelCase{"white under threshold 1", BMM_Color_fl(1, 1, 1, 0.5f), 1.0f, true},
        PixelCase{"exact black under threshold 0", BMM_Color_fl(0, 0, 0, 1), 0.0f, true},
        PixelCase{"half alpha under threshold 0", BMM_Color_fl(0, 0, 0, 0.5f), 0.0f, false},
        PixelCase{"faint red under threshold 0", BMM_Color_fl(0.001f, 0, 0, 1), 0.0f, false}),
    [](const ::testing::TestParamInfo<PixelCase>& test) {
      std::string name = test.param.what;
      for (char& c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
      }
      return name;
    });

/// A frame of `total` pixels in one row, the first `black` of them black, the rest white.
BitmapPtr frameWithBlack(int black, int total) {
  return makeBitmap(total, 1, [black](int x, int) {
    return x < black ? BMM_Color_fl(0, 0, 0, 1) : BMM_Color_fl(1, 1, 1, 1);
  });
}

TEST_F(BlackFrameTest, AShareAtTheLimitFailsWithBothMessages) {
  job.blackPixelPercentage = 90;
  job.blackPixelThreshold = 0.1f;
  BitmapPtr frame = frameWithBlack(9, 10);
  EXPECT_EQ(messageOf<std::runtime_error>([&] { CheckBlackFrame(job, frame.get()); }),
            "90% of the output image is black, which equals or exceeds the minimum of 90%");
  EXPECT_EQ(log.text(),
            "\n"
            "Checking if frame is black\n"
            "  blackPixelPercentage=90%\n"
            "  blackPixelThreshold=0.1\n"
            "9 of 10 pixels are considered black (90%)\n"
            "90% of the output image is considered black, failing render...\n");
}

TEST_F(BlackFrameTest, AShareBelowTheLimitPasses) {
  const struct { int black, total, limit; } passing[] = {{9, 10, 91}, {199, 200, 100}, {0, 10, 1}};
  for (const auto& c : passing) {
    job.blackPixelPercentage = c.limit;
    BitmapPtr frame = frameWithBlack(c.black, c.total);
    EXPECT_NO_THROW(CheckBlackFrame(job, frame.get())) << c.black << " of " << c.total;
  }
  // 199 of 200 is 99.5 %, truncated.
  EXPECT_NE(log.text().find("\n199 of 200 pixels are considered black (99%)\n"), std::string::npos);
}

TEST_F(BlackFrameTest, EveryRowAndColumnOfAnOblongFrameIsCounted) {
  // Black only in the last column and the last two rows: a pass that misses an edge, or mixes up
  // width and height, counts differently.
  const struct {
    int width, height;
    const char* line;
  } frames[] = {{7, 3, "\n15 of 21 pixels are considered black (71%)\n"},
                {3, 7, "\n11 of 21 pixels are considered black (52%)\n"},
                {1, 5, "\n5 of 5 pixels are considered black (100%)\n"}};
  for (const auto& f : frames) {
    job.blackPixelPercentage = 100;
    BitmapPtr frame = makeBitmap(f.width, f.height, [&f](int x, int y) {
      return x == f.width - 1 || y >= f.height - 2 ? BMM_Color_fl(0, 0, 0, 1)
                                                   : BMM_Color_fl(1, 1, 1, 1);
    });
    try {
      CheckBlackFrame(job, frame.get());
    } catch (const std::runtime_error&) {
    }
    EXPECT_NE(log.text().find(f.line), std::string::npos) << f.width << "x" << f.height;
  }
}

TEST_F(BlackFrameTest, ALimitOfZeroFailsEveryFrame) {
  job.blackPixelPercentage = 0;
  BitmapPtr frame = frameWithBlack(0, 4);
  EXPECT_EQ(messageOf<std::runtime_error>([&] { CheckBlackFrame(job, frame.get()); }),
            "0% of the output image is black, which equals or exceeds the minimum of 0%");
}

TEST_F(BlackFrameTest, AFrameWithoutPixelsCountsAsEntirelyBlack) {
  job.blackPixelPercentage = 100;
  EXPECT_EQ(messageOf<std::runtime_error>([&] { CheckBlackFrame(job, nullptr); }),
            "100% of the output image is black, which equals or exceeds the minimum of 100%");
  EXPECT_NE(log.text().find("\n0 of 0 pixels are considered black (100%)\n"), std::string::npos);
}

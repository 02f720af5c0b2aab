// The soak's process samples read from /proc, and its judgement of their growth.
#include "soak/process_sample.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <memory>
#include <stdexcept>

namespace {

using soak::GrowthLimits;
using soak::Sample;

TEST(ProcessSampleTest, CountsADescriptorOpenedBetweenTwoSamples) {
  const Sample before = soak::sampleProcess(getpid(), 1);
  std::ifstream opened("/proc/self/status");
  ASSERT_TRUE(opened.is_open());
  const Sample after = soak::sampleProcess(getpid(), 2);
  EXPECT_EQ(after.fds, before.fds + 1);
  EXPECT_EQ(after.frames, 2);
}

TEST(ProcessSampleTest, SeesMemoryTouchedBetweenTwoSamplesAsResident) {
  const size_t size = 64u << 20;
  const Sample before = soak::sampleProcess(getpid(), 1);
  std::unique_ptr<char[]> block(new char[size]);
  std::memset(block.get(), 1, size);
  const Sample after = soak::sampleProcess(getpid(), 2);
  EXPECT_GE(after.rssKiB - before.rssKiB, static_cast<long>(size / 1024 / 2));
  EXPECT_GT(before.rssKiB, 0);
}

TEST(ProcessSampleTest, AProcessThatHasEndedCannotBeSampled) {
  const pid_t child = fork();
  ASSERT_NE(child, -1);
  if (child == 0) _exit(0);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_THROW(soak::sampleProcess(child, 1), std::runtime_error);
}

const GrowthLimits limits{2048, 0};

struct GrowthCase {
  const char* what;
  std::vector<Sample> samples;
  // Texts the judgement must contain; empty: it passes.
  std::vector<std::string> reasons;
};

void PrintTo(const GrowthCase& c, std::ostream* out) {
  *out << c.what;
}

class GrowthTest : public ::testing::TestWithParam<GrowthCase> {};

TEST_P(GrowthTest, JudgesAgainstTheFirstSample) {
  const std::string failure = soak::growthFailure(GetParam().samples, limits);
  if (GetParam().reasons.empty()) {
    EXPECT_EQ(failure, "");
  } else {
    for (const std::string& reason : GetParam().reasons) {
      EXPECT_NE(failure.find(reason), std::string::npos) << failure;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GrowthTest,
    ::testing::Values(
        GrowthCase{"flat", {{100, 6000, 8}, {200, 6000, 8}, {300, 6000, 8}}, {}},
        GrowthCase{"memory grown by exactly the limit", {{100, 6000, 8}, {200, 8048, 8}}, {}},
        GrowthCase{"memory grown past the limit",
                   {{100, 6000, 8}, {200, 7000, 8}, {300, 8049, 8}},
                   {"resident memory grew by 2049 KiB between frame 100 and frame 300"}},
        GrowthCase{"memory back down after a peak past the limit",
                   {{100, 6000, 8}, {200, 9000, 8}, {300, 6000, 8}},
                   {"between frame 100 and frame 200"}},
        GrowthCase{"shrinking below the first sample", {{100, 9000, 9}, {200, 6000, 8}}, {}},
        GrowthCase{"one descriptor more, closed again later",
                   {{100, 6000, 8}, {200, 6000, 9}, {300, 6000, 8}},
                   {"open descriptors grew from 8 to 9 between frame 100 and frame 200"}},
        GrowthCase{"both grown",
                   {{100, 6000, 8}, {200, 9000, 10}},
                   {"resident memory grew by 3000 KiB", "open descriptors grew from 8 to 10"}}),
    [](const ::testing::TestParamInfo<GrowthCase>& test) {
      std::string name = test.param.what;
      for (char& c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
      }
      return name;
    });

TEST(GrowthJudgementTest, NoSamplesIsAnError) {
  EXPECT_THROW(soak::growthFailure({}, limits), std::invalid_argument);
}

}  // namespace

// The job state itself: the log it opens and the written-file look-up.
#include "support/job_fixture.h"
#include "support/message_of.h"

#include <stdexcept>

using namespace moonstone;

using RenderJobTest = JobTest;

TEST_F(RenderJobTest, ConstructionOpensTheLogAfresh) {
  {
    std::ofstream old(log.file());
    old << "a line of an earlier run\n";
  }
  RenderJob another;
  logStream << "first line" << std::endl;
  EXPECT_EQ(log.text(), "first line\n");
}

TEST_F(RenderJobTest, WrittenFileGivesEntriesInRangeOnly) {
  EXPECT_EQ(messageOf<std::invalid_argument>([&] { job.writtenFile(0); }),
            "Output file requested doesn't exist");
  job.writtenFiles = {"C:\\out\\a.tga", "C:\\out\\A_a.tga"};
  EXPECT_EQ(job.writtenFile(0), "C:\\out\\a.tga");
  EXPECT_EQ(job.writtenFile(1), "C:\\out\\A_a.tga");
  for (int index : {-1, 2}) {
    EXPECT_EQ(messageOf<std::invalid_argument>([&] { job.writtenFile(index); }),
              "Output file requested doesn't exist")
        << index;
  }
}

// The output folder made before a frame renders.
#include "render/output_writing.h"
#include "support/job_fixture.h"

using namespace moonstone;

using OutputPathTest = JobTest;

TEST_F(OutputPathTest, CreatesEveryMissingFolderOfTheName) {
  BitmapInfo info;
  info.SetName("C:\\renders\\shots\\take1\\frame0001.png");
  CreateOutputPath(job, &info);
  EXPECT_TRUE(std::filesystem::is_directory(onDisk("renders/shots/take1")));
  EXPECT_EQ(log.text(), "creating output path: C:\\renders\\shots\\take1\n");
}

TEST_F(OutputPathTest, LeavesAnExistingFolderAlone) {
  std::filesystem::create_directories(onDisk("renders"));
  BitmapInfo info;
  info.SetName("C:\\renders\\frame0001.png");
  CreateOutputPath(job, &info);
  EXPECT_EQ(log.text(), "");
}

TEST_F(OutputPathTest, AFileInTheFoldersPlaceIsTriedAndLeftForTheWriteToFail) {
  writeFile("renders", "not a folder");
  BitmapInfo info;
  info.SetName("C:\\renders\\frame0001.png");
  CreateOutputPath(job, &info);
  EXPECT_EQ(log.text(), "creating output path: C:\\renders\n");
  EXPECT_TRUE(std::filesystem::is_regular_file(onDisk("renders")));
}

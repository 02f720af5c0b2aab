// Writing output images: recorded only when on disk, the alpha-split companion, device errors,
// and a device that reports success but leaves no file.
#include "render/output_writing_fixture.h"
#include "support/message_of.h"

#include <maxsim_state.h>

#include <stdexcept>

using namespace moonstone;

TEST_F(OutputWritingTest, RecordsAFileItFindsOnDisk) {
  BitmapInfo info = output("C:\\out\\frame0001.png");
  WriteOutputImage(job, frame.get(), &info);

  EXPECT_EQ(job.writtenFiles, std::vector<std::string>{"C:\\out\\frame0001.png"});
  const Image image = readImage(onDisk("out/frame0001.png"));
  EXPECT_EQ(image.width, 32);
  EXPECT_EQ(image.height, 16);
  EXPECT_EQ(log.text(), "writing to output file: C:\\out\\frame0001.png\n");
}

TEST_F(OutputWritingTest, AlphaSplitRecordsTheCompanionAfterTheFile) {
  job.alphaSplit = true;
  BitmapInfo info = output("C:\\out\\frame0001.tga");
  info.SetDeviceSetting(BMM_SETTING_ALPHA_SPLIT, "1");
  WriteOutputImage(job, frame.get(), &info);

  EXPECT_EQ(job.writtenFiles,
            (std::vector<std::string>{"C:\\out\\frame0001.tga", "C:\\out\\A_frame0001.tga"}));
  EXPECT_TRUE(std::filesystem::is_regular_file(onDisk("out/A_frame0001.tga")));
  EXPECT_EQ(log.text(),
            "writing to output file: C:\\out\\frame0001.tga\n"
            "Alpha Split feature (tga) is enabled, need to save C:\\out\\A_frame0001.tga\n");
}

TEST_F(OutputWritingTest, AlphaSplitFailsWhenTheDeviceWritesNoCompanion) {
  job.alphaSplit = true;
  BitmapInfo info = output("C:\\out\\frame0001.png");
  EXPECT_EQ(messageOf<std::runtime_error>([&] { WriteOutputImage(job, frame.get(), &info); }),
            "bm->Write() returned success, but the Alpha Split feature (tga) is enabled, and the "
            "output file, \"C:\\out\\A_frame0001.png\" did not exist.");
  EXPECT_TRUE(std::filesystem::is_regular_file(onDisk("out/frame0001.png")));
  EXPECT_TRUE(job.writtenFiles.empty());
}

TEST_F(OutputWritingTest, DeviceErrorsAreReportedWithTheirCodes) {
  const struct {
    const char* name;
    const char* message;
  } cases[] = {
      {"C:\\out\\frame0001.xyz", "Error in bm->OpenOutput(): error code 4"},
      {"C:\\missing\\frame0001.png", "Error in bm->Write(): error code 5"},
  };
  for (const auto& c : cases) {
    BitmapInfo info = output(c.name);
    EXPECT_EQ(messageOf<std::runtime_error>([&] { WriteOutputImage(job, frame.get(), &info); }),
              c.message)
        << c.name;
  }
  EXPECT_TRUE(job.writtenFiles.empty());
}

TEST_F(OutputWritingTest, ADeviceThatReportsSuccessButLeavesNoFileIsCaught) {
  standin::drop_next_image_file();
  BitmapInfo info = output("C:\\out\\frame0001.tga");
  EXPECT_EQ(messageOf<std::runtime_error>([&] { WriteOutputImage(job, frame.get(), &info); }),
            "bm->Write() returned success, but the output file, \"C:\\out\\frame0001.tga\" did not "
            "exist.");
  EXPECT_TRUE(job.writtenFiles.empty());
}

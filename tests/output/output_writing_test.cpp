// Writing output images: recorded only when on disk, the alpha-split companion, device errors,
// and a device that reports success but leaves no file.
#include "output/test_images.h"
#include "render/output_writing.h"
#include "support/job_fixture.h"
#include "support/message_of.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <stdexcept>
#include <thread>

class OutputWritingTest : public JobTest {
 protected:
  void SetUp() override { std::filesystem::create_directories(onDisk("out")); }

  /// An output description naming the file, as the scene's render settings give one.
  static BitmapInfo output(const std::string& name) {
    BitmapInfo info;
    info.SetName(name.c_str());
    info.SetWidth(32);
    info.SetHeight(16);
    return info;
  }

  BitmapPtr frame = makeBitmap(32, 16, coordinateColour);
};

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
  // The Targa writer writes into a named pipe whose reader removes the name as soon as the
  // writer has opened it. The image is far larger than a pipe holds, so the writer finishes only
  // after the reader has removed the name: the device succeeds and no file is left.
  const std::filesystem::path pipe = onDisk("out/frame0001.tga");
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  std::thread reader([pipe] {
    const int fd = open(pipe.c_str(), O_RDONLY);
    if (fd < 0) return;
    unlink(pipe.c_str());
    char buffer[65536];
    while (read(fd, buffer, sizeof buffer) > 0) {
    }
    close(fd);
  });
  BitmapPtr large =
      makeBitmap(512, 512, [](int x, int y) { return coordinateColour(x % 256, y % 256); });
  BitmapInfo info = output("C:\\out\\frame0001.tga");
  const std::string message =
      messageOf<std::runtime_error>([&] { WriteOutputImage(job, large.get(), &info); });
  // Should the writer never have opened the pipe, this releases the reader.
  const int release = open(pipe.c_str(), O_WRONLY | O_NONBLOCK);
  if (release >= 0) close(release);
  reader.join();

  EXPECT_EQ(message,
            "bm->Write() returned success, but the output file, \"C:\\out\\frame0001.tga\" did not "
            "exist.");
  EXPECT_TRUE(job.writtenFiles.empty());
}

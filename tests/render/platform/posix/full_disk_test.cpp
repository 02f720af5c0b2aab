// Writing output images to a full disk, which a file-size limit stands in for (POSIX only: Windows
// has no per-process limit on file sizes).
#include "render/output_writing_fixture.h"
#include "support/message_of.h"

#include <sys/resource.h>

#include <csignal>
#include <stdexcept>
#include <string>
#include <vector>

using namespace moonstone;

TEST_F(OutputWritingTest, AFullDiskFailsTheWriteAndLeavesNoFileUnderTheName) {
  // A file-size limit stands in for a full disk: writes past it fail with EFBIG (the signal
  // that would otherwise end the process is ignored), as writes to a full disk fail.
  BitmapPtr large = makeBitmap(
      256, 256, [](int x, int y) { return coordinateColour(x, y); }, BMM_FLOAT_RGBA_32);
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  rlimit limit = saved;
  limit.rlim_cur = 256;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
  const auto savedSignal = signal(SIGXFSZ, SIG_IGN);
  std::vector<std::string> messages;
  for (const char* name :
       {"frame0001.tga", "frame0001.png", "frame0001.jpg", "frame0001.bmp", "frame0001.exr"}) {
    BitmapInfo info = output(std::string("C:\\out\\") + name);
    messages.push_back(
        messageOf<std::runtime_error>([&] { WriteOutputImage(job, large.get(), &info); }));
  }
  signal(SIGXFSZ, savedSignal);
  setrlimit(RLIMIT_FSIZE, &saved);

  for (const std::string& message : messages) {
    EXPECT_EQ(message, "Error in bm->Write(): error code 5");
  }
  EXPECT_TRUE(job.writtenFiles.empty());
  EXPECT_TRUE(std::filesystem::is_empty(onDisk("out")));
}

// The JPEG preview copy of a frame: its name under the preview folder and the file written.
#include "render/test_images.h"
#include "render/output_writing.h"
#include "support/job_fixture.h"
#include "support/message_of.h"

#include <stdexcept>

using namespace moonstone;

struct PreviewCase {
  const char* previewPath;
  const char* outputName;
  const char* previewName;  // relative to drive C
};

void PrintTo(const PreviewCase& c, std::ostream* out) {
  *out << c.previewPath << " + " << c.outputName;
}

class JpegPreviewTest : public JobTest {
 protected:
  void SetUp() override {
    startJob(scene());
    std::filesystem::create_directories(onDisk("previews"));
  }
  BitmapPtr frame = makeBitmap(64, 48, coordinateColour);
};

class JpegPreviewNameTest : public JpegPreviewTest,
                            public ::testing::WithParamInterface<PreviewCase> {};

TEST_P(JpegPreviewNameTest, WritesTheFrameUnderThePreviewName) {
  job.jpegOutputPath = GetParam().previewPath;
  job.outputInfo.SetName(GetParam().outputName);
  WriteJpegPreview(job, frame.get(), &job.outputInfo);

  const std::string preview = windowsName(GetParam().previewName);
  EXPECT_EQ(log.text().substr(log.text().find("writing jpeg")),
            "writing jpeg output to temp file: " + preview + "\n");
  const Image image = readImage(onDisk(GetParam().previewName));
  EXPECT_EQ(image.width, 64);
  EXPECT_EQ(image.height, 48);
  EXPECT_EQ(image.channels, 3);
  EXPECT_TRUE(job.writtenFiles.empty());
}

INSTANTIATE_TEST_SUITE_P(
    NameRules, JpegPreviewNameTest,
    ::testing::Values(PreviewCase{"C:\\previews\\", "D:\\out\\shot0012.exr",
                                  "previews/shot0012.jpg"},
                      PreviewCase{"C:\\previews", "D:\\out\\shot0012.exr", "previewsshot0012.jpg"},
                      PreviewCase{"C:\\previews\\", "D:\\out\\a.b.tga", "previews/a.b.jpg"},
                      PreviewCase{"C:\\previews\\", "D:\\out\\noext", "previews/noext.jpg"}));

TEST_F(JpegPreviewTest, AMissingPreviewFolderFailsTheWrite) {
  job.jpegOutputPath = "C:\\nowhere\\";
  job.outputInfo.SetName("C:\\out\\shot0012.tga");
  EXPECT_EQ(
      messageOf<std::runtime_error>([&] { WriteJpegPreview(job, frame.get(), &job.outputInfo); }),
      "Error in bm->Write(): error code 5");
}

// The description of a job's output that the reply to StartJob carries.
#include "render/output_writing.h"
#include "support/job_fixture.h"

using namespace moonstone;

using DescribeOutputTest = JobTest;

TEST_F(DescribeOutputTest, FourLinesFromTheOutputDescription) {
  job.outputInfo.SetName("C:\\renders\\shot.tga");
  job.outputInfo.SetDevice("Targa Image File");
  job.outputInfo.SetWidth(1920);
  job.outputInfo.SetHeight(1080);
  const struct {
    float aspect;
    const char* text;
  } aspects[] = {{1.0f, "1"}, {0.5f, "0.5"}, {4.0f / 3.0f, "1.33333"}};
  for (const auto& a : aspects) {
    job.outputInfo.SetAspect(a.aspect);
    EXPECT_EQ(DescribeOutput(job), std::string("[filename] C:\\renders\\shot.tga\n"
                                               "[format] Targa Image File\n"
                                               "[size] 1920x1080\n"
                                               "[aspect] ") +
                                       a.text + "\n");
  }
}

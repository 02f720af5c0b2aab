// Output names: StartJob's description, the main image among written files, preview names.
#include "controller/worker/images/output_names.h"

#include <gtest/gtest.h>

namespace {

TEST(OutputNamesTest, ReadsStartJobsDescription) {
  const worker::OutputDescription description = worker::parseOutputDescription(
      "SUCCESS [filename] R:\\out\\shot.tga\n[format] Targa Image File\n[size] 160x120\n"
      "[aspect] 1\n");
  EXPECT_EQ(description.fileName, "R:\\out\\shot.tga");
  EXPECT_EQ(description.format, "Targa Image File");
  EXPECT_EQ(description.width, 160);
  EXPECT_EQ(description.height, 120);

  const worker::OutputDescription empty =
      worker::parseOutputDescription("SUCCESS [filename] \n[format] \n[size] 0x0\n[aspect] 1\n");
  EXPECT_EQ(empty.fileName, "");
  EXPECT_EQ(empty.width, 0);
}

TEST(OutputNamesTest, RecognisesTheMainImageByItsNumbering) {
  struct Case {
    std::string name;
    bool main;
  };
  const Case cases[] = {
      {"R:\\out\\shot0005.tga", true},  {"R:\\out\\shot12345.TGA", true},
      {"R:\\out\\shot-0005.tga", true}, {"R:\\out\\shot.tga", true},
      {"R:\\out\\shot005.tga", false},  {"R:\\out\\shot_alpha0005.tga", false},
      {"R:\\out\\shot0005.png", false}, {"R:\\other\\shot0005.tga", false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(worker::isNumberedFrom(c.name, "R:\\out\\shot.tga"), c.main) << c.name;
  EXPECT_TRUE(worker::isNumberedFrom("R:\\out\\noext0005", "R:\\out\\noext"));
  EXPECT_FALSE(worker::isNumberedFrom("R:\\out\\a0005.tga", ""));
}

TEST(OutputNamesTest, NamesPreviewsInsideTheFolder) {
  EXPECT_EQ(worker::previewFolder("C:\\previews"), "C:\\previews\\");
  EXPECT_EQ(worker::previewFolder("C:\\previews\\"), "C:\\previews\\");
  EXPECT_EQ(worker::previewName("C:\\previews\\", "D:\\out\\a.b0001.exr"),
            "C:\\previews\\a.b0001.jpg");
  EXPECT_EQ(worker::previewName("C:\\p\\", "D:\\out\\noext0001"), "C:\\p\\noext0001.jpg");
}

}  // namespace

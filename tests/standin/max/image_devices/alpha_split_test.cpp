// The Targa device's alpha split under the file names of the platform it runs on.
#include "standin/max/test_picture.h"
#include "support/temp_folder.h"

#include <maxsim_state.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

namespace {

class AlphaSplitNameTest : public ::testing::TestWithParam<char> {
 protected:
  void SetUp() override { standin::reset_host(); }
  void TearDown() override { standin::reset_host(); }

  /// The names of the files in the temporary folder.
  std::set<std::string> files() const {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
      names.insert(entry.path().filename().string());
    }
    return names;
  }

  TempFolder folder;
};

// The companion goes beside the file whichever separator ends the folder's name: on Windows a
// name with backslashes must not become "A_" + the whole name.
TEST_P(AlphaSplitNameTest, CompanionIsWrittenBesideTheFile) {
  BitmapPtr bitmap = testPicture();
  BitmapInfo bi;
  bi.SetName((folder.path().string() + GetParam() + "shot0002.tga").c_str());
  bi.SetDeviceSetting(BMM_SETTING_ALPHA_SPLIT, "1");
  ASSERT_EQ(writeBitmap(bitmap.get(), bi), BMMRES_SUCCESS);
  EXPECT_EQ(files(), (std::set<std::string>{"A_shot0002.tga", "shot0002.tga"}));
}

INSTANTIATE_TEST_SUITE_P(Separators, AlphaSplitNameTest, ::testing::Values('\\', '/'),
                         [](const auto& test) {
                           return std::string(test.param == '/' ? "slash" : "backslash");
                         });

}  // namespace

// EXR files written by the platform's EXR device, for the Linux suite's reader to check.
#include "standin/max/test_picture.h"
#include "support/temp_folder.h"

#include <maxsim_state.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace {

// Writes the EXR picture from both bitmap types: into the folder MOONSTONE_EXR_EXCHANGE names when
// it is set (scripts/test-windows.sh then has the Linux suite read the files back), otherwise into
// a temporary folder.
TEST(ExrExchangeTest, PictureIsWrittenFromBothBitmapTypes) {
  standin::reset_host();
  TempFolder temporary;
  const char* exchange = std::getenv("MOONSTONE_EXR_EXCHANGE");
  const std::filesystem::path folder =
      exchange ? std::filesystem::path(exchange) : temporary.path();
  for (const auto& [type, name] : {std::pair{BMM_TRUE_64, "picture_half.exr"},
                                   std::pair{BMM_FLOAT_RGBA_32, "picture_float.exr"}}) {
    const std::string file = (folder / name).string();
    EXPECT_EQ(writeExrPicture(type, file), BMMRES_SUCCESS) << name;
    EXPECT_TRUE(std::filesystem::is_regular_file(file)) << name;
  }
  standin::reset_host();
}

}  // namespace

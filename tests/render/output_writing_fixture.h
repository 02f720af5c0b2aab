// Test fixture for writing output images: a job on drive C with its out folder, and a 32 by 16
// frame to write.
#pragma once

#include "render/output_writing.h"
#include "render/test_images.h"
#include "support/job_fixture.h"

#include <string>

/// The job fixture with the folder C:\out made for the output files.
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

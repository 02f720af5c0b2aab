// Test fixture for rendering frames: a fresh stand-in host, drive C (log) and drive R (scene
// outputs) of the test's own, a job state, and a controller answering on loopback.
#pragma once

#include "answering_controller.h"
#include "render/render_job.h"
#include "support/log_capture.h"
#include "support/mapped_drive.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <string>
#include <vector>

/// The size and pixels of an image file, read back as 8-bit RGBA.
struct RgbaImage {
  int width = 0;
  int height = 0;
  std::vector<unsigned char> rgba;
};

/// Public throughout, so that table-driven cases can prepare the fixture.
class FrameTest : public ::testing::Test {
 public:
  FrameTest();
  ~FrameTest() override;

  /// A 16 by 8 scene whose disc moves with the frame, camera Camera01 in the viewport, main
  /// output R:\out\shot.tga and two elements, R:\out\elements\alpha.tga and
  /// R:\out\elements\shapes.tga.
  static nlohmann::json scene();
  /// The scene with a four-pass effect on its camera and its elements replaced by one beauty
  /// element, R:\out\elements\beauty.tga.
  static nlohmann::json multiPassScene();

  /// Writes the scene file and starts a job on it through its camera.
  void startJob(const nlohmann::json& sceneJson);
  /// RenderFrame with the controller's socket.
  unsigned short render(unsigned frame);

  /// Where a file of drive R lives on this machine.
  std::filesystem::path onDriveR(const std::string& relative) const;
  /// The image file of drive R; fails the test when it cannot be read.
  RgbaImage readImage(const std::string& relative) const;

  /// Whether no element bitmap or accumulator of the frame is left.
  bool frameBitmapsReleased() const;

  LogCapture log;
  MappedDrive driveR;
  AnsweringController controller;
  moonstone::RenderJob job;
};

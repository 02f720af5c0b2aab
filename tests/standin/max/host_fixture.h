// A fresh stand-in host and a temporary folder per test, with helpers to write scene files.
#pragma once

#include <max.h>

#include <bmmlib.h>
#include <maxapi.h>
#include <maxsim_state.h>

#include "support/temp_folder.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <functional>
#include <string>

/// Each test starts with a freshly reset host and its own temporary folder, removed afterwards.
class HostTest : public ::testing::Test {
 protected:
  void SetUp() override { standin::reset_host(); }
  void TearDown() override { standin::reset_host(); }

  /// The name of the processor fault that the call raised ("Access Violation"...), caught by the
  /// plug-in's guard as a structured exception, as the host raises it; "" when it returned.
  static std::string faultOf(const std::function<void()>& call);

  std::string path(const std::string& name) const { return (folder / name).string(); }

  /// Writes the text to a file of the temporary folder; returns its path.
  std::string writeFile(const std::string& name, const std::string& text) const;

  /// A small valid scene: 16x8, dark blue background, one red disc at the centre that moves
  /// from the left (frame 0) to the right (frame 10), a camera "Camera01" and a camera viewport.
  static nlohmann::json smallScene();

  /// Writes the scene as scene.max in the temporary folder and loads it; fails the test when
  /// the host does not load it.
  void load(const nlohmann::json& scene);

  TempFolder temp;
  const std::filesystem::path folder = temp.path();
};

/// Reads the colour of one pixel.
BMM_Color_fl pixel(Bitmap* bitmap, int x, int y);

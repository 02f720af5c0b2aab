// A fresh stand-in host and a temporary folder per test, with helpers to write scene files.
#pragma once

#include <max.h>

#include <bmmlib.h>
#include <maxapi.h>
#include <maxsim_state.h>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <string>

/// Each test starts with a freshly reset host and its own temporary folder, removed afterwards.
class HostTest : public ::testing::Test {
 protected:
  void SetUp() override {
    standin::reset_host();
    char pattern[] = "/tmp/standin_max_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    folder = pattern;
  }
  void TearDown() override {
    standin::reset_host();
    std::filesystem::remove_all(folder);
  }

  std::string path(const std::string& name) const { return (folder / name).string(); }

  /// Writes the text to a file of the temporary folder; returns its path.
  std::string writeFile(const std::string& name, const std::string& text) const;

  /// A small valid scene: 16x8, dark blue background, one red disc at the centre that moves
  /// from the left (frame 0) to the right (frame 10), a camera "Camera01" and a camera viewport.
  static nlohmann::json smallScene();

  /// Writes the scene as scene.max in the temporary folder and loads it; fails the test when
  /// the host does not load it.
  void load(const nlohmann::json& scene);

  std::filesystem::path folder;
};

/// Reads the colour of one pixel.
BMM_Color_fl pixel(Bitmap* bitmap, int x, int y);

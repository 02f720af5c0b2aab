// Test helper: a fresh temporary folder, removed with everything in it when the helper goes.
#pragma once

#include <filesystem>
#include <random>
#include <stdexcept>
#include <string>

/// Creates a unique folder under the system's temporary folder; removes it on destruction.
class TempFolder {
 public:
  TempFolder() {
    // A random name, taken only when no other folder has it (create_directory says which).
    std::random_device seed;
    std::mt19937_64 random(seed());
    const std::filesystem::path base = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
      const std::filesystem::path candidate = base / ("moonstone-test-" + name(random()));
      std::error_code error;
      if (std::filesystem::create_directory(candidate, error)) {
        path_ = candidate;
        return;
      }
    }
    throw std::runtime_error("cannot create a temporary folder under " + base.string());
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }

 private:
  static std::string name(unsigned long long bits) {
    static const char letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::string text;
    for (int i = 0; i < 10; ++i, bits /= 36) text += letters[bits % 36];
    return text;
  }

  std::filesystem::path path_;
};

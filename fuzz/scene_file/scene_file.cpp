// Fuzz target: the stand-in host's scene-file reader fed arbitrary file contents. Reading a scene
// only builds it: its scripts and injected faults are data here and never run.
#include "scene/scene.h"
#include "support/temp_folder.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

namespace {

// A file in a folder of the target's own, removed when the run ends.
class SceneFileOnDisk {
 public:
  /// Writes the contents and gives the file's path.
  std::string write(const uint8_t* data, size_t size) const {
    const std::filesystem::path file = folder_.path() / "scene.max";
    std::ofstream(file, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    return file.string();
  }

 private:
  TempFolder folder_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const SceneFileOnDisk file;
  try {
    standin::readSceneFile(file.write(data, size));
  } catch (const std::runtime_error&) {
    // A file that is not a valid scene is refused with a message naming what is wrong.
  }
  return 0;
}

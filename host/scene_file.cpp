// Checking and loading the host's scene files.
#include "host/scene_file.h"

namespace moonstone {

bool isSceneFile(Interface8* core, const std::string& fileName) {
  return core->IsMaxFile(fileName.c_str());
}

bool loadSceneFile(Interface8* core, const std::string& fileName) {
  const unsigned long flags = Interface8::kSuppressPrompts | Interface8::kUseFileUnits;
  return core->LoadFromFile(fileName.c_str(), flags);
}

}  // namespace moonstone

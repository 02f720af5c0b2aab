// Checking and loading the host's scene files.
#include "host/scene_file.h"

bool isSceneFile(Interface8* core, const std::string& fileName) {
  return core->IsMaxFile(fileName.c_str());
}

bool loadSceneFile(Interface8* core, const std::string& fileName) {
  const unsigned long flags = Interface8::kUseFileUnits | Interface8::kRefreshViewports;
  return core->LoadFromFile(fileName.c_str(), flags);
}

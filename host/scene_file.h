// Checking and loading the host's scene files.
#pragma once

#include <max.h>

#include <maxapi.h>
#include <iFnPub.h>

#include <string>

namespace moonstone {

/// Whether the host takes the file for one of its scene files.
bool isSceneFile(Interface8* core, const std::string& fileName);
/// Loads the scene file with flag word 6 (suppress prompts, use the file's units); true
/// when the host loaded it. What the host throws passes through (MAXException among it).
bool loadSceneFile(Interface8* core, const std::string& fileName);

}  // namespace moonstone

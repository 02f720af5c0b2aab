// Loading plug-ins: every *.dlx of a folder, checked and initialised through its entry points.
#pragma once

#include <string>
#include <vector>

/// A loaded plug-in.
struct LoadedPlugin {
  std::string path;
  std::string description;
};

/// Loads every *.dlx file of the folder (in name order) so that it resolves the host's symbols,
/// checks its LibVersion, reads LibDescription and calls LibInit. The libraries stay loaded for
/// the life of the process. Throws std::runtime_error naming the plug-in and the reason when the
/// folder cannot be read, a library cannot be loaded, lacks an entry point or has another
/// version stamp.
std::vector<LoadedPlugin> loadPlugins(const std::string& folder);

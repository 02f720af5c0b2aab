// maxsim's command line.
#pragma once

#include "apps/maxsim/startup_scripts.h"

#include <string>
#include <vector>

struct Options {
  std::vector<std::string> pluginFolders;  // empty: the default folder
  std::vector<StartupScript> scripts;      // in command-line order
  bool quiet = false;
  bool help = false;
};

/// Reads the arguments after the program name. Throws std::invalid_argument with the reason for
/// an unknown option or an option without its value.
Options parseOptions(const std::vector<std::string>& arguments);

/// The --help text.
std::string usage();

// The line the plug-in answers the controller's greeting with, and the build stamps in it.
#pragma once

#include <string>

namespace moonstone {

/// The build date as "Oct 29 2007" (day right-aligned in two characters).
extern const char* const buildDate;
/// The build time as "07:17:24".
extern const char* const buildTime;

/// "Moonstone " + version + " " + build date + " " + build time + " R".
std::string versionLine();

}  // namespace moonstone

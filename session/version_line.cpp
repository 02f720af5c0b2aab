// Build stamps (reproducible through SOURCE_DATE_EPOCH at configure time) and the version line.
#include "session/version_line.h"

#include "plugin/version.h"

namespace moonstone {

#ifndef MOONSTONE_BUILD_DATE
#define MOONSTONE_BUILD_DATE __DATE__
#endif
#ifndef MOONSTONE_BUILD_TIME
#define MOONSTONE_BUILD_TIME __TIME__
#endif

const char* const buildDate = MOONSTONE_BUILD_DATE;
const char* const buildTime = MOONSTONE_BUILD_TIME;

std::string versionLine() {
  return "Moonstone " + versionText + " " + buildDate + " " + buildTime + " R";
}

}  // namespace moonstone

// The plug-in's version text, shared by the library description and the handshake.
#pragma once

#include <string>

namespace moonstone {

/// "2.7.29981": the program's version.
extern const std::string versionText;

}  // namespace moonstone

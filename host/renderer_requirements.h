// Asking the current renderer what it requires of the program that drives it.
#pragma once

#include <max.h>

#include <render.h>
#include <maxapi.h>

namespace moonstone {

/// Whether the host's current renderer reports the requirement; false when there is no current
/// renderer or it has no requirements interface.
bool rendererRequires(Interface* core, IRendererRequirements::Requirement requirement);

}  // namespace moonstone

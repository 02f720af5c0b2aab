// Asking the current renderer what it requires, through its requirements interface.
#include "host/renderer_requirements.h"

namespace moonstone {

bool rendererRequires(Interface* core, IRendererRequirements::Requirement requirement) {
  Renderer* renderer = core->GetCurrentRenderer();
  if (!renderer) return false;
  auto* requirements = static_cast<IRendererRequirements*>(
      renderer->GetInterface(IRENDERERREQUIREMENTS_INTERFACE_ID));
  return requirements && requirements->HasRequirement(requirement);
}

}  // namespace moonstone

// The render elements of the host's render settings and their output holders.
#include "host/render_elements.h"

namespace moonstone {

int activeRenderElementCount(IRenderElementMgr* manager) {
  if (!manager || !manager->GetElementsActive()) return 0;
  return manager->NumRenderElements();
}

PBBitmap* elementOutput(IRenderElement* element) {
  PBBitmap* output = nullptr;
  element->GetPBBitmap(output);
  return output;
}

}  // namespace moonstone

// The render elements of the host's render settings.
#pragma once

#include <max.h>

#include <maxapi.h>
#include <renderelements.h>
#include <iparamb2.h>
#include <pbbitmap.h>

namespace moonstone {

/// The number of render elements the renderer fills: all of the manager's when its elements are
/// active, else 0.
int activeRenderElementCount(IRenderElementMgr* manager);
/// The element's output holder (its BitmapInfo `bi` and Bitmap `bm`); owned by the element.
PBBitmap* elementOutput(IRenderElement* element);

}  // namespace moonstone

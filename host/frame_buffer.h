// The host's frame-buffer window, where a bitmap is shown while it renders.
#pragma once

#include <max.h>

#include <bmmlib.h>

namespace moonstone {

/// Shows the bitmap in the frame-buffer window: no title, window position 5, not autonomous,
/// with a save button, no crop callback, no clone.
void showInFrameBuffer(Bitmap* bitmap);
/// Takes the bitmap out of the frame-buffer window.
void removeFromFrameBuffer(Bitmap* bitmap);

}  // namespace moonstone

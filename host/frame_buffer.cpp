// Showing bitmaps in the host's frame-buffer window while they render.
#include "host/frame_buffer.h"

namespace moonstone {

void showInFrameBuffer(Bitmap* bitmap) {
  bitmap->Display(nullptr, BMM_CN, FALSE, TRUE, nullptr, nullptr);
}

void removeFromFrameBuffer(Bitmap* bitmap) {
  bitmap->UnDisplay();
}

}  // namespace moonstone

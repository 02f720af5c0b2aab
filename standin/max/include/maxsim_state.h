// What the stand-in host did, for tests: viewport holds, renderer state, redraws; and a reset.
#pragma once

#include "sdk_exports.h"

namespace standin {
/// Viewports handed out by GetActiveViewport and not yet released.
CoreExport int viewport_holds();
/// Whether the current renderer is open.
CoreExport bool renderer_open();
/// How often OpenCurRenderer and CloseCurRenderer succeeded since the last reset.
CoreExport int renderer_opens();
CoreExport int renderer_closes();
/// How often the viewports were redrawn (SetTime with redraw, ForceCompleteRedraw).
CoreExport int redraws();
/// The default action held for the kind of missing data (0 for an unknown kind).
CoreExport unsigned long default_action(unsigned long kind);
/// The flag word of the last LoadFromFile call (0 after a reset).
CoreExport unsigned long last_load_flags();
/// Back to the state of a freshly started host: empty scene, renderer closed, default actions
/// failing the load, counters at 0, no scene-script runner.
CoreExport void reset_host();
/// Test hook: the next image file that an image device writes is reported written but never put
/// on disk, as a device that fails without saying so would.
CoreExport void drop_next_image_file();
}  // namespace standin

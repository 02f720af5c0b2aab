// What the stand-in host did, for tests: viewport holds, renderer state, redraws; and a reset.
#pragma once

namespace standin {
/// Viewports handed out by GetActiveViewport and not yet released.
int viewport_holds();
/// Whether the current renderer is open.
bool renderer_open();
/// How often OpenCurRenderer and CloseCurRenderer succeeded since the last reset.
int renderer_opens();
int renderer_closes();
/// How often the viewports were redrawn (SetTime with redraw, ForceCompleteRedraw).
int redraws();
/// The default action held for the kind of missing data (0 for an unknown kind).
unsigned long default_action(unsigned long kind);
/// The flag word of the last LoadFromFile call (0 after a reset).
unsigned long last_load_flags();
/// Back to the state of a freshly started host: empty scene, renderer closed, default actions
/// failing the load, counters at 0, no scene-script runner.
void reset_host();
/// Test hook: the next image file that an image device writes is reported written but never put
/// on disk, as a device that fails without saying so would.
void drop_next_image_file();
}  // namespace standin

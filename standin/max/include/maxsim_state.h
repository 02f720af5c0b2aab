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
/// The flag word of the last LoadFromFile call (0 after a reset).
unsigned long last_load_flags();
/// Back to the state of a freshly started host: empty scene, renderer closed, default actions
/// at DEFAULTACTION_FAIL, counters at 0, no scene-script runner.
void reset_host();
}  // namespace standin

// The renderer of the stand-in host: draws a scene's picture into a bitmap, row by row.
#pragma once

#include "max.h"

#include "bmmlib.h"
#include "log.h"
#include "render.h"
#include "scene/scene.h"

namespace standin {

/// How the renderer was opened.
struct RenderView {
  INode* camera = nullptr;  // the node rendered through, or null for a perspective view
  int width = 0;
  int height = 0;
};

/// Renders the scene at time t into bm: the whole width x height image, or only `region` of it
/// placed at bm's origin. Fills the bitmaps of the active, enabled render elements, runs the
/// scene's scripts through the installed runner, injects the scene's render faults, and reports
/// to `prog` ("Rendering Image", then Progress once before the first row and after every row).
/// Returns non-zero on success; 0 when `prog` aborts, a script fails (logged to `log`) or the
/// scene injects a render failure.
int renderFrame(const Scene& scene, const RenderView& view, TimeValue t, Bitmap* bm,
                RendProgressCallback* prog, const ViewParams* vp, const RECT* region, LogSys* log);

}  // namespace standin

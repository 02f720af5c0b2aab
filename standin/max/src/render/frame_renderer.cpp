// Drawing a frame: rows of the scene's picture into the main bitmap and the element bitmaps,
// with progress reports, scene scripts and injected faults along the way.
#include "render/frame_renderer.h"

#include "core/host_log.h"
#include "core/host_state.h"
#include "core/injected_faults.h"
#include "max.h"

#include "iFnPub.h"
#include "iparamb2.h"
#include "pbbitmap.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cxxabi.h>
#include <exception>
#include <vector>

namespace standin {

namespace {

struct ElementTarget {
  ElementKind kind;
  Bitmap* bitmap;
};

std::vector<ElementTarget> elementTargets(const Scene& scene) {
  std::vector<ElementTarget> targets;
  if (!scene.elements.active) return targets;
  for (const auto& element : scene.elements.elements) {
    PBBitmap* pb = nullptr;
    element->GetPBBitmap(pb);
    if (element->IsEnabled() && pb && pb->bm) targets.push_back({element->kind(), pb->bm});
  }
  return targets;
}

BMM_Color_fl elementColour(ElementKind kind, const Shading& shading, const BMM_Color_fl& main,
                           const BMM_Color_fl& background) {
  switch (kind) {
    case ElementKind::Alpha:
      return BMM_Color_fl(main.a, main.a, main.a, 1.0f);
    case ElementKind::Shapes:
      return shading.covered ? shading.color : BMM_Color_fl(0, 0, 0, 0);
    case ElementKind::Background:
      return background;
    case ElementKind::Beauty:
      break;
  }
  return main;
}

/// Runs one scene script; false (after logging why) when it fails.
bool runScript(const SceneScript& script, LogSys* log) {
  const SceneScriptRunner runner = sceneScriptRunner();
  if (!runner) return true;
  try {
    runner(script.text);
    return true;
  } catch (abi::__forced_unwind&) {
    throw;  // thread cancellation must go on unwinding
  } catch (const std::exception& e) {
    logLine(log, SYSLOG_ERROR, "Scene script", e.what());
  } catch (const MAXException& e) {
    logLine(log, SYSLOG_ERROR, "Scene script", e.message.data());
  } catch (...) {
    logLine(log, SYSLOG_ERROR, "Scene script", "the script raised an error");
  }
  return false;
}

bool runScripts(const Scene& scene, int frame, const std::optional<int>& row, LogSys* log) {
  for (const SceneScript& script : scene.scripts) {
    if (script.row != row || (script.frame && *script.frame != frame)) continue;
    if (!runScript(script, log)) return false;
  }
  return true;
}

void injectFault(const Scene& scene, int frame) {
  if (const SceneFault* fault = scene.processorFault(SceneFault::Place::Render, frame)) {
    raiseFault(fault->processor);
  }
}

}  // namespace

int renderFrame(const Scene& scene, const RenderView& view, TimeValue t, Bitmap* bm,
                RendProgressCallback* prog, const ViewParams* vp, const RECT* region, LogSys* log) {
  if (!bm || view.width < 1 || view.height < 1) return 0;
  const double frameTime = static_cast<double>(t) / scene.ticksPerFrame;
  const int frame = static_cast<int>(std::floor(frameTime));

  int left = 0, top = 0, right = view.width, bottom = view.height;
  if (region) {
    left = region->left, top = region->top, right = region->right, bottom = region->bottom;
  }
  // Taken wide: a region's sides may lie anywhere an int reaches.
  const int columns = static_cast<int>(
      std::max<std::int64_t>(0, std::min<std::int64_t>(std::int64_t{right} - left, bm->Width())));
  const int rows = static_cast<int>(
      std::max<std::int64_t>(0, std::min<std::int64_t>(std::int64_t{bottom} - top, bm->Height())));

  float panX = 0, panY = 0;
  if (vp) {
    panX = vp->panX, panY = vp->panY;
  } else if (view.camera) {
    if (auto* camera = dynamic_cast<SceneCamera*>(view.camera->EvalWorldState(t).obj)) {
      panX = camera->panX(), panY = camera->panY();
    }
  }

  if (prog) prog->SetTitle("Rendering Image");
  if (scene.faultAt(SceneFault::Kind::RenderFailure, frame)) return 0;
  if (!runScripts(scene, frame, std::nullopt, log)) return 0;
  if (prog && prog->Progress(0, rows) == RENDPROG_ABORT) return 0;

  // The working rows belong to the thread, not to this call (renders do not nest): a fault
  // injected below abandons the call without running its destructors, as the host's fault traps
  // do, and must not leak them.
  thread_local std::vector<ElementTarget> elements;
  thread_local std::vector<BMM_Color_fl> mainRow;
  thread_local std::vector<std::vector<BMM_Color_fl>> elementRows;
  elements = elementTargets(scene);
  mainRow.assign(columns, BMM_Color_fl());
  elementRows.assign(elements.size(), std::vector<BMM_Color_fl>(columns));
  for (int r = 0; r < rows; ++r) {
    const int y = top + r;
    if (!runScripts(scene, frame, y, log)) return 0;
    if (r == rows / 2) injectFault(scene, frame);
    const bool black = scene.image.blackedOut(y, view.height, frame);
    for (int c = 0; c < columns; ++c) {
      const Shading shading = scene.image.shade(double(left + c) + panX, double(y) + panY,
                                                view.width, view.height, frameTime);
      mainRow[c] = black ? BMM_Color_fl(0, 0, 0, 1) : shading.color;
      for (size_t e = 0; e < elements.size(); ++e) {
        elementRows[e][c] =
            elementColour(elements[e].kind, shading, mainRow[c], scene.image.background);
      }
    }
    bm->PutPixels(0, r, columns, mainRow.data());
    for (size_t e = 0; e < elements.size(); ++e) {
      Bitmap* target = elements[e].bitmap;
      target->PutPixels(0, r, std::min(columns, target->Width()), elementRows[e].data());
    }
    if (scene.msPerRow > 0) Sleep(static_cast<DWORD>(scene.msPerRow));
    if (prog && prog->Progress(r + 1, rows) == RENDPROG_ABORT) return 0;
  }
  return 1;
}

}  // namespace standin

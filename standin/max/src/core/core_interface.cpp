// The host's core interface: the loaded scene, time, viewport, render settings and renderer.
#include "max.h"

#include "maxapi.h"

#include "DefaultActions.h"
#include "core/host_log.h"
#include "core/host_state.h"
#include "core/injected_faults.h"
#include "iFnPub.h"
#include "maxsim_state.h"
#include "render/frame_renderer.h"
#include "scene/scene.h"
#include "core/native_path.h"

#include <memory>
#include <mutex>

namespace standin {

namespace {

const char* referenceKindName(DWORD kind) {
  switch (kind) {
    case TYPE_MISSING_EXTERNAL_FILES:
      return "external file";
    case TYPE_MISSING_DLL_FILES:
      return "DLL";
    case TYPE_MISSING_XREF_FILES:
      return "XREF";
    default:
      return "UVW coordinates";
  }
}

/// The one active viewport; what it shows follows the loaded scene.
class Viewport : public ViewExp {
 public:
  int GetViewType() override { return camera_ ? VIEW_CAMERA : VIEW_PERSP_USER; }
  INode* GetViewCamera() override { return camera_; }
  void show(bool cameraView, INode* camera) { camera_ = cameraView ? camera : nullptr; }

 private:
  INode* camera_ = nullptr;
};

class Core : public Interface8 {
 public:
  Core() : scene_(std::make_unique<Scene>()) {}

  // Scene.
  INode* GetINodeByName(const MCHAR* name) override {
    if (!name || !*name) return nullptr;
    return scene_->root.find(name);
  }
  INode* GetRootNode() override { return &scene_->root; }

  bool IsMaxFile(const MCHAR* filename) override {
    return filename && isSceneFile(native_path(filename));
  }

  bool LoadFromFile(const MCHAR* filename, unsigned long flags) override {
    lastLoadFlags_ = flags;
    if (!filename) return false;
    std::unique_ptr<Scene> scene;
    try {
      scene = readSceneFile(native_path(filename));
    } catch (const std::exception& e) {
      logLine(Log(), SYSLOG_ERROR, "Load", e.what());
      return false;
    }
    if (const SceneFault* fault = scene->fault(SceneFault::Kind::LoadException)) {
      std::string message = fault->message;
      throw MAXException(message.data());
    }
    if (const SceneFault* fault = scene->processorFault(SceneFault::Place::Load)) {
      // The fault abandons this frame without its destructors: the scene is kept where the
      // next crashing load replaces it, not lost.
      const ProcessorFault processor = fault->processor;
      crashedScene_ = std::move(scene);
      raiseFault(processor);
    }
    if (!referencesResolved(*scene)) return false;
    // A renderer opened on the old scene would render through its nodes, which go with it.
    rendererOpen_ = false;
    scene_ = std::move(scene);
    SetTicksPerFrame(scene_->ticksPerFrame);
    viewport_.show(scene_->cameraViewport, scene_->viewportCamera);
    time_ = 0;
    return true;
  }

  // Viewports.
  ViewExp* GetActiveViewport() override {
    ++viewportHolds_;
    return &viewport_;
  }
  void ReleaseViewport(ViewExp* viewport) override {
    if (viewport == &viewport_ && viewportHolds_ > 0) --viewportHolds_;
  }
  void ForceCompleteRedraw(BOOL) override { ++redraws_; }

  // Time.
  TimeValue GetTime() override { return time_; }
  void SetTime(TimeValue t, BOOL redraw) override {
    time_ = t;
    if (redraw) ++redraws_;
  }

  // Render settings.
  int GetRendWidth() override { return scene_->width; }
  int GetRendHeight() override { return scene_->height; }
  float GetRendApect() override { return scene_->pixelAspect; }
  BitmapInfo& GetRendFileBI() override { return scene_->output; }
  BOOL GetRendSaveFile() override { return scene_->saveFile; }
  BOOL GetSkipRenderedFrames() override { return scene_->skipExisting; }
  IRenderElementMgr* GetCurRenderElementMgr() override { return &scene_->elements; }
  Renderer* GetCurrentRenderer() override { return scene_->renderer.get(); }
  void SetupRendParams(RendParams& rp, ViewExp*, RendType t) override {
    rp.rendType = t;
    rp.width = scene_->width;
    rp.height = scene_->height;
    rp.devAspect = scene_->pixelAspect;
    rp.frameDur = 1.0f;
  }

  // The renderer.
  int OpenCurRenderer(INode* camNode, ViewExp* view, RendType, int w, int h) override {
    if (w < 1 || h < 1) return 0;
    INode* camera = camNode;
    if (!camera) {
      if (view != &viewport_) return 0;
      camera = viewport_.GetViewCamera();
    }
    if (camera) {
      Object* object = camera->EvalWorldState(time_).obj;
      if (!object || object->SuperClassID() != CAMERA_CLASS_ID) return 0;
    }
    open_ = RenderView{camera, w, h};
    if (!rendererOpen_) ++opens_;
    rendererOpen_ = true;
    return 1;
  }

  int CurRendererRenderFrame(TimeValue t, Bitmap* bm, RendProgressCallback* prog, float,
                             ViewParams* vp, RECT* region) override {
    if (!rendererOpen_) return 0;
    return renderFrame(*scene_, open_, t, bm, prog, vp, region, Log());
  }

  void CloseCurRenderer() override {
    if (!rendererOpen_) return;
    // The fault comes before the renderer is closed: after it the renderer is still open.
    const SceneFault* fault = scene_->processorFault(SceneFault::Place::CloseRenderer);
    if (fault && !scene_->closeFaultRaised) {
      scene_->closeFaultRaised = true;
      raiseFault(fault->processor);
    }
    rendererOpen_ = false;
    ++closes_;
  }

  LogSys* Log() override { return hostLog(); }
  DefaultActionSys* DefaultActions() override { return defaultActionSys(); }

  // For the tests' view of the host.
  int viewportHolds() const { return viewportHolds_; }
  bool rendererOpen() const { return rendererOpen_; }
  int opens() const { return opens_; }
  int closes() const { return closes_; }
  int redraws() const { return redraws_; }
  unsigned long lastLoadFlags() const { return lastLoadFlags_; }

  void reset() {
    rendererOpen_ = false;
    scene_ = std::make_unique<Scene>();
    SetTicksPerFrame(scene_->ticksPerFrame);
    viewport_.show(false, nullptr);
    time_ = 0;
    viewportHolds_ = opens_ = closes_ = redraws_ = 0;
    lastLoadFlags_ = 0;
  }

  Scene& scene() { return *scene_; }

 private:
  /// Logs each missing item; false when one of them is not to be ignored.
  bool referencesResolved(const Scene& scene) {
    bool resolved = true;
    for (const SceneReference& reference : scene.references) {
      if (!reference.missing) continue;
      DWORD action = 0;
      const bool ignore =
          DefaultActions()->GetAction(reference.kind, action) && action == DEFAULTACTIONS_LOGTOFILE;
      const std::string text = std::string("missing ") + referenceKindName(reference.kind) + ": " +
                               reference.name + (ignore ? " (ignored)" : "");
      logLine(Log(), ignore ? SYSLOG_WARN : SYSLOG_ERROR, "Load", text.c_str());
      if (!ignore) resolved = false;
    }
    return resolved;
  }

  std::unique_ptr<Scene> scene_;
  std::unique_ptr<Scene> crashedScene_;
  Viewport viewport_;
  TimeValue time_ = 0;
  RenderView open_;
  bool rendererOpen_ = false;
  int viewportHolds_ = 0;
  int opens_ = 0;
  int closes_ = 0;
  int redraws_ = 0;
  unsigned long lastLoadFlags_ = 0;
};

Core& core() {
  static Core instance;
  return instance;
}

int ticksPerFrame = 160;

}  // namespace

int viewport_holds() {
  return core().viewportHolds();
}
bool renderer_open() {
  return core().rendererOpen();
}
int renderer_opens() {
  return core().opens();
}
int renderer_closes() {
  return core().closes();
}
int redraws() {
  return core().redraws();
}
unsigned long last_load_flags() {
  return core().lastLoadFlags();
}

void reset_host() {
  core().reset();
  resetDefaultActions();
  SetSceneScriptRunner(nullptr);
}

}  // namespace standin

Interface* GetCOREInterface() {
  return &standin::core();
}
Interface8* GetCOREInterface8() {
  return &standin::core();
}

int GetTicksPerFrame() {
  return standin::ticksPerFrame;
}
void SetTicksPerFrame(int ticks) {
  if (ticks > 0) standin::ticksPerFrame = ticks;
}

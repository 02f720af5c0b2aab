// The host's core interface: scene, time, viewports, render settings, the renderer and the log.
#pragma once

#ifndef STANDIN_MAX_H
#error "include max.h first: the SDK headers are not self-contained"
#endif

#include "inode.h"
#include "log.h"
#include "render.h"
#include "renderelements.h"

class Bitmap;
class DefaultActionSys;
class BitmapInfo;
class Renderer;

/// View types of a viewport.
#define VIEW_PERSP_USER 7
#define VIEW_CAMERA 8

/// A viewport of the host.
class ViewExp {
 public:
  virtual ~ViewExp() = default;
  /// VIEW_CAMERA when the viewport looks through a camera, else another view type.
  virtual int GetViewType() = 0;
  /// The camera node of a camera viewport; null otherwise.
  virtual INode* GetViewCamera() = 0;
};

/// The host's core interface (GetCOREInterface). Everything it returns is the host's: borrowed,
/// never freed by the caller. Pointers into the scene stay valid until another scene is loaded.
class Interface {
 public:
  /// The node with this exact name anywhere in the scene, or null.
  virtual INode* GetINodeByName(const MCHAR* name) = 0;
  /// The scene's root node (its children are the scene's top-level nodes).
  virtual INode* GetRootNode() = 0;

  /// The active viewport, held until ReleaseViewport.
  virtual ViewExp* GetActiveViewport() = 0;
  virtual void ReleaseViewport(ViewExp* viewport) = 0;
  /// Redraws every viewport (also disabled ones when doDisabled is TRUE).
  virtual void ForceCompleteRedraw(BOOL doDisabled = TRUE) = 0;

  /// Current time, in ticks.
  virtual TimeValue GetTime() = 0;
  virtual void SetTime(TimeValue t, BOOL redraw = TRUE) = 0;

  /// The render settings.
  virtual int GetRendWidth() = 0;
  virtual int GetRendHeight() = 0;
  virtual float GetRendApect() = 0;
  /// The output image: name, device, device settings and size.
  virtual BitmapInfo& GetRendFileBI() = 0;
  /// Whether the render output is saved to its file.
  virtual BOOL GetRendSaveFile() = 0;
  /// Whether frames whose output file exists are skipped.
  virtual BOOL GetSkipRenderedFrames() = 0;
  virtual IRenderElementMgr* GetCurRenderElementMgr() = 0;
  /// The current renderer (never null while a scene is loaded).
  virtual Renderer* GetCurrentRenderer() = 0;
  /// Fills rp from the render settings for a render of type t (vpt may be null).
  virtual void SetupRendParams(RendParams& rp, ViewExp* vpt, RendType t = RENDTYPE_NORMAL) = 0;

  /// Opens the current renderer to render through camNode, or through `view` when camNode is
  /// null, at width x height. Non-zero on success.
  virtual int OpenCurRenderer(INode* camNode, ViewExp* view, RendType t = RENDTYPE_NORMAL,
                              int w = 0, int h = 0) = 0;
  /// Renders the frame at time t into bm: the whole image, or with `region` only that rectangle
  /// of the image placed at bm's origin. Fills every active render element's bitmap, reports to
  /// `prog` and stops when it answers RENDPROG_ABORT. `vp` (may be null) changes the view.
  /// Non-zero on success.
  virtual int CurRendererRenderFrame(TimeValue t, Bitmap* bm, RendProgressCallback* prog = nullptr,
                                     float frameDur = 1.0f, ViewParams* vp = nullptr,
                                     RECT* region = nullptr) = 0;
  virtual void CloseCurRenderer() = 0;

  /// The host's log.
  virtual LogSys* Log() = 0;
  /// What the host does about missing data when it loads a scene.
  virtual DefaultActionSys* DefaultActions() = 0;

 protected:
  ~Interface() = default;
};

/// The host's extended core interface: scene files.
class Interface8 : public Interface {
 public:
  /// Flags of LoadFromFile.
  enum LoadFromFileFlags {
    kRefreshViewports = 0x01,
    kSuppressPrompts = 0x02,
    kUseFileUnits = 0x04,
  };
  /// Loads a scene file, replacing the current scene. false when the file cannot be read or
  /// parsed or when a missing referenced item is not to be ignored (see DefaultActionSys).
  /// Throws MAXException when the scene says so.
  virtual bool LoadFromFile(const MCHAR* filename, unsigned long flags) = 0;
  /// Whether the file is a scene file of this host.
  virtual bool IsMaxFile(const MCHAR* filename) = 0;

 protected:
  ~Interface8() = default;
};

/// The host's core interface.
CoreExport Interface* GetCOREInterface();
CoreExport Interface8* GetCOREInterface8();

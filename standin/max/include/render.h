// Rendering: the current renderer, render parameters, view parameters and the progress callback.
#pragma once

#ifndef STANDIN_MAX_H
#error "include max.h first: the SDK headers are not self-contained"
#endif

#include "baseinterface.h"
#include "maxtypes.h"

/// What a render covers. RENDTYPE_REGIONCROP renders only a rectangle, into a bitmap of the
/// rectangle's size (the rectangle's top-left pixel lands on the bitmap's (0, 0)).
enum RendType {
  RENDTYPE_NORMAL = 0,
  RENDTYPE_REGION = 1,
  RENDTYPE_BLOWUP = 2,
  RENDTYPE_SELECT = 3,
  RENDTYPE_REGIONCROP = 4,
};

#define PROJ_PERSPECTIVE 0
#define PROJ_PARALLEL 1

/// How a view looks at the scene. The renderer here reads only `panX` and `panY`: a shift of the
/// image in pixels (a multi-pass effect gives each pass a slightly different one).
struct ViewParams {
  int projType = PROJ_PERSPECTIVE;
  float hither = 0.1f;
  float yon = 1.0e5f;
  float distance = 100.0f;
  float zoom = 1.0f;
  float fov = 0.785398f;
  float panX = 0.0f;
  float panY = 0.0f;
};

/// Parameters of a render, filled by Interface::SetupRendParams from the render settings.
class RendParams {
 public:
  RendType rendType = RENDTYPE_NORMAL;
  int width = 0;
  int height = 0;
  float devAspect = 1.0f;
  float frameDur = 1.0f;
};

#define RENDPROG_CONTINUE 1
#define RENDPROG_ABORT 0

/// Receives a renderer's progress. The renderer sets a title, then calls Progress many times
/// per frame and stops (returning failure) as soon as Progress answers RENDPROG_ABORT.
class RendProgressCallback {
 public:
  virtual void SetTitle(const MCHAR* title) = 0;
  /// RENDPROG_CONTINUE to go on, RENDPROG_ABORT to stop the render.
  virtual int Progress(int done, int total) = 0;
  virtual void SetSceneStats(int nlights, int nrayTraced, int nshadowed, int nobj, int nfaces) {
    (void)nlights, (void)nrayTraced, (void)nshadowed, (void)nobj, (void)nfaces;
  }
  virtual void SetStep(int current, int total) { (void)current, (void)total; }

 protected:
  ~RendProgressCallback() = default;
};

/// A renderer plug-in. Owned by the scene's render settings.
class Renderer {
 public:
  virtual Class_ID ClassID() = 0;
  /// The renderer's interface with this ID (IRendererRequirements among them), or null.
  virtual BaseInterface* GetInterface(Interface_ID id) = 0;

 protected:
  ~Renderer() = default;
};

#define IRENDERERREQUIREMENTS_INTERFACE_ID Interface_ID(0x27C85C29u, 0x0FAB6EE0u)

/// A renderer's requirements (GetInterface(IRENDERERREQUIREMENTS_INTERFACE_ID)).
class IRendererRequirements : public BaseInterface {
 public:
  enum Requirement {
    kRequirement_NoPauseSupport = 0,
    kRequirement_NoVFB = 1,
    /// Write no main output file: the renderer saves its own.
    kRequirement_DontSaveRenderOutput = 2,
    /// The renderer wants 32-bit floating-point output bitmaps.
    kRequirement_Wants32bitFPOutput = 3,
  };
  Interface_ID GetID() override { return IRENDERERREQUIREMENTS_INTERFACE_ID; }
  virtual bool HasRequirement(Requirement requirement) = 0;

 protected:
  ~IRendererRequirements() = default;
};

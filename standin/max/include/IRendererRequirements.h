// What a renderer requires of whoever drives it, asked through its requirements interface.
#pragma once

#include "baseinterface.h"

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

// Render elements: extra images a render produces beside the main one, each into its own file.
#pragma once

#ifndef STANDIN_MAX_H
#error "include max.h first: the SDK headers are not self-contained"
#endif

#include "maxtypes.h"

class PBBitmap;

/// One render element. Owned by the scene's render-element manager.
class IRenderElement {
 public:
  virtual ~IRenderElement() = default;
  virtual const MCHAR* ElementName() const = 0;
  virtual BOOL IsEnabled() const = 0;
  /// The element's output: `bi` names its file; `bm` is the bitmap the renderer fills, set by
  /// whoever renders (null when the element is not to be rendered).
  virtual void GetPBBitmap(PBBitmap*& pbBitmap) const = 0;
};

/// The render elements of the current render settings.
class IRenderElementMgr {
 public:
  virtual ~IRenderElementMgr() = default;
  /// Whether the renderer fills the elements at all.
  virtual BOOL GetElementsActive() const = 0;
  virtual int NumRenderElements() = 0;
  /// Element i, or null when i is out of range.
  virtual IRenderElement* GetRenderElement(int index) = 0;
};

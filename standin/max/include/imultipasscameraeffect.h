// Multi-pass camera effects: a camera renders several passes that are averaged into one image.
#pragma once

#include "maxtypes.h"

class Bitmap;
class INode;
class Object;
struct ViewParams;

/// A camera's multi-pass effect. Owned by its camera.
class IMultiPassCameraEffect {
 public:
  virtual ~IMultiPassCameraEffect() = default;
  virtual Class_ID ClassID() = 0;
  /// Number of passes at time t (at least 1).
  virtual int TotalPasses(TimeValue t) = 0;
  /// The view of pass `passNum` through the camera; may move `time` for this pass. The view
  /// parameters are owned by the effect and valid until the next Apply.
  virtual ViewParams* Apply(INode* cameraNode, Object* cameraObject, int passNum,
                            TimeValue& time) = 0;
  /// Folds pass `passNum` (from 0) of `source` into `destination` as a running average:
  /// after pass p, destination holds the mean of passes 0..p.
  virtual void AccumulateBitmap(Bitmap* destination, Bitmap* source, int passNum, TimeValue t) = 0;
  /// Ends the passes of one frame.
  virtual void PostRender() = 0;
};

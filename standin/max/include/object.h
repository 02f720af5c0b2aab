// Scene objects as a node evaluates them: the base object and the camera object.
#pragma once

#ifndef STANDIN_MAX_H
#error "include max.h first: the SDK headers are not self-contained"
#endif

#include "maxtypes.h"

class Bitmap;
class INode;
class CameraObject;
class IMultiPassCameraEffect;
struct ViewParams;

/// Super class IDs of the objects the host knows.
#define GEOMOBJECT_CLASS_ID 0x00000010u
#define CAMERA_CLASS_ID 0x00000020u
#define HELPER_CLASS_ID 0x00000025u

/// Class IDs of the host's own cameras.
#define SIMPLE_CAM_CLASS_ID 0x00001001u
#define LOOKAT_CAM_CLASS_ID 0x00001002u

/// An evaluated scene object. Owned by the scene; borrowed by everyone else.
class Object {
 public:
  virtual ~Object() = default;
  virtual Class_ID ClassID() = 0;
  virtual SClass_ID SuperClassID() = 0;
};

/// A camera; its object's SuperClassID() is CAMERA_CLASS_ID.
class CameraObject : public Object {
 public:
  SClass_ID SuperClassID() override { return CAMERA_CLASS_ID; }
  /// Non-zero when the camera's multi-pass effect is on at t; narrows `valid` to where that holds.
  virtual BOOL GetMultiPassEffectEnabled(TimeValue t, Interval& valid) = 0;
  /// The camera's multi-pass effect, or null when it has none. Owned by the camera.
  virtual IMultiPassCameraEffect* GetIMultiPassCameraEffect() = 0;
};

/// What a node evaluates to at a time.
class ObjectState {
 public:
  ObjectState() : obj(nullptr) {}
  explicit ObjectState(Object* object) : obj(object) {}
  Object* obj;
};

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

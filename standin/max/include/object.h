// Scene objects as a node evaluates them: the base object and the camera object.
#pragma once

#include "maxtypes.h"

class IMultiPassCameraEffect;

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

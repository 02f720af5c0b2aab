// Camera viewports and the multi-pass effects of camera objects.
#include "host/cameras.h"

namespace moonstone {

bool isCameraView(ViewExp* viewport) {
  return viewport->GetViewType() == VIEW_CAMERA;
}

CameraObject* asCamera(Object* object) {
  if (!object || object->SuperClassID() != CAMERA_CLASS_ID) return nullptr;
  return static_cast<CameraObject*>(object);
}

bool multiPassEnabled(Object* object, TimeValue t) {
  CameraObject* camera = asCamera(object);
  Interval valid;
  valid.SetEmpty();
  return camera && camera->GetMultiPassEffectEnabled(t, valid) != FALSE;
}

IMultiPassCameraEffect* multiPassEffect(Object* object) {
  CameraObject* camera = asCamera(object);
  return camera ? camera->GetIMultiPassCameraEffect() : nullptr;
}

}  // namespace moonstone

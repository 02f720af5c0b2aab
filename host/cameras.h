// Cameras as the render engine sees them: camera viewports and multi-pass effects.
#pragma once

#include <max.h>

#include <object.h>
#include <maxapi.h>

namespace moonstone {

/// Whether the viewport looks through a camera (view type 8).
bool isCameraView(ViewExp* viewport);
/// The object as a camera, or null when it is none (or null).
CameraObject* asCamera(Object* object);
/// Whether the object is a camera whose multi-pass effect is on at t.
bool multiPassEnabled(Object* object, TimeValue t);
/// The camera's multi-pass effect, or null when the object is no camera or has none.
IMultiPassCameraEffect* multiPassEffect(Object* object);

}  // namespace moonstone

// The class IDs by which the render engine recognises renderers, cameras and multi-pass effects.
#pragma once

#include <max.h>

#include <maxtypes.h>

namespace moonstone {

/// A renderer that renders multi-pass effects held by a "Multipass" child of the camera.
const Class_ID holderRendererClassId(0x52AD1C02u, 0x112D2FBCu);
/// A renderer that renders multi-pass effects of its own.
const Class_ID effectRendererClassId(0x58F67D6Cu, 0x4FCF3BC3u);
/// The camera class that the holder renderer's cameras have.
const Class_ID holderCameraClassId(0x399EE5F2u, 0x584A71A8u);
/// A multi-pass effect rendered in one pass (and only by the effect renderer).
const Class_ID singlePassEffectClassId(0x6CC9546Eu, 0x0B1961B9u);

}  // namespace moonstone

// The host SDK's main header: the core interface and everything the render engine uses of it.
#pragma once

#include "DefaultActions.h"
#include "IRendererRequirements.h"
#include "bitmap.h"
#include "imultipasscameraeffect.h"
#include "maxapi.h"
#include "maxexception.h"
#include "plugapi.h"
#include "renderelements.h"

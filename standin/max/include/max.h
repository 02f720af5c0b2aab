// The host SDK's main header: included first by every file that uses the SDK, as the SDK's other
// headers rely on what it brings in.
#pragma once

#define STANDIN_MAX_H

#include "maxtypes.h"
#include "iFnPub.h"
#include "maxapi.h"
#include "plugapi.h"

// What a plug-in library exports to the host, and the SDK version stamp the host accepts.
#pragma once

#ifndef STANDIN_MAX_H
#error "include max.h first: the SDK headers are not self-contained"
#endif

#include "maxtypes.h"

#define MAX_RELEASE 9000
#define MAX_API_NUM 21
#define MAX_SDK_REV 0
/// The version stamp a plug-in's LibVersion must return for this host: 0x23281500. The library
/// entry points themselves (LibVersion, LibDescription, LibInit) are declared by each plug-in,
/// with its own export marking.
#define VERSION_3DSMAX ((MAX_RELEASE << 16) + (MAX_API_NUM << 8) + MAX_SDK_REV)

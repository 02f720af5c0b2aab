// What a plug-in library exports to the host, and the SDK version stamp the host accepts.
#pragma once

#ifndef STANDIN_MAX_H
#error "include max.h first: the SDK headers are not self-contained"
#endif

#include "maxtypes.h"

#define MAX_RELEASE 9000
#define MAX_API_NUM 21
#define MAX_SDK_REV 0
/// The version stamp a plug-in's LibVersion must return for this host: 0x23281500.
#define VERSION_3DSMAX ((MAX_RELEASE << 16) + (MAX_API_NUM << 8) + MAX_SDK_REV)

/// The library entry points (C++ linkage: the host finds them under their decorated names).
/// LibVersion returns the SDK version stamp the library was built for.
unsigned long LibVersion();
/// A one-line description of the library.
const char* LibDescription();
/// Called once after loading, before any script runs.
void LibInit();

// Parameter blocks of the second kind, as far as the plug-in reaches them: the export macro of
// their library, which the bitmap-parameter header relies on.
#pragma once

#ifndef STANDIN_MAX_H
#error "include max.h first: the SDK headers are not self-contained"
#endif

#include "sdk_exports.h"

/// The parameter-block library: parameter blocks and bitmap parameters (in the stand-in, part of
/// its one host library).
#define PB2Export STANDIN_MAX_API

// The EXR writer's implementation: tinyexr is a header-only library, compiled once here, with the
// mingw zlib for its ZIP compression.
#include <zlib.h>

#define TINYEXR_IMPLEMENTATION
#include <tinyexr.h>

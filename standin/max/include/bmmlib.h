// The bitmap manager's public header: bitmaps, image descriptions and the manager.
#pragma once

#ifndef STANDIN_MAX_H
#error "include max.h first: the SDK headers are not self-contained"
#endif

#include "bitmap.h"

// The library's exports to the host: its SDK version stamp, its description and its initialiser.
#include <max.h>

#include "plugin/entry_points.h"

#include <plugapi.h>

// These three are the library's only exports: everything else is hidden, so that another
// plug-in's names cannot replace the plug-in's own.
unsigned long LibVersion() {
  return VERSION_3DSMAX;
}

const char* LibDescription() {
  return "Moonstone, Cloud interface";
}

// Everything the plug-in sets up is done by its global objects when the library loads.
void LibInit() {}

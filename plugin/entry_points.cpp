// The library's exports to the host: its SDK version stamp, its description and its initialiser.
#include <max.h>

#include <plugapi.h>

// These three are the library's only exports (MOONSTONE_EXPORT comes from the build): everything
// else is hidden, so that another plug-in's names cannot replace the plug-in's own.
MOONSTONE_EXPORT unsigned long LibVersion() { return VERSION_3DSMAX; }

MOONSTONE_EXPORT const char* LibDescription() { return "Moonstone, Cloud interface"; }

// Everything the plug-in sets up is done by its global objects when the library loads.
MOONSTONE_EXPORT void LibInit() {}

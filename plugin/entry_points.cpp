// The library's exports to the host: its SDK version stamp, its description and its initialiser.
#include <max.h>

#include <plugapi.h>

unsigned long LibVersion() { return VERSION_3DSMAX; }

const char* LibDescription() { return "Moonstone, Cloud interface"; }

// Everything the plug-in sets up is done by its global objects when the library loads.
void LibInit() {}

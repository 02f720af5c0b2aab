// The library's entry points, which the host looks up under their decorated names.
#pragma once

// MOONSTONE_EXPORT comes from the build: the Windows export attribute, or default visibility on
// systems where everything else of the library is hidden.

/// The SDK version stamp the library was built for (VERSION_3DSMAX).
MOONSTONE_EXPORT unsigned long LibVersion();
/// "Moonstone, Cloud interface".
MOONSTONE_EXPORT const char* LibDescription();
/// Does nothing: the global objects set everything up when the library loads.
MOONSTONE_EXPORT void LibInit();

// The export macros of the host's libraries, one per library as the host's headers name them.
#pragma once

// The stand-in host is one shared library (maxcore) where the real host has several, so the
// macros share one switch: STANDIN_MAX_BUILD, defined only while that library is compiled.
// Windows: what the library defines is exported, and every other module imports it (data must
// be declared imported for a Microsoft compiler to reach it). Elsewhere the library is built with
// hidden visibility, and the macros make the marked declarations visible.
#ifdef _WIN32
#ifdef STANDIN_MAX_BUILD
#define STANDIN_MAX_API __declspec(dllexport)
#else
#define STANDIN_MAX_API __declspec(dllimport)
#endif
#else
#define STANDIN_MAX_API __attribute__((visibility("default")))
#endif

/// The core: core interface, time, function publishing, and the stand-in's own hooks.
#define CoreExport STANDIN_MAX_API
/// The bitmap manager: bitmaps, image descriptions, image files.
#define BMMExport STANDIN_MAX_API
/// MAXScript: values, streams, errors, the parser and the listener.
#define ScripterExport STANDIN_MAX_API
/// Utilities: strings.
#define UtilExport STANDIN_MAX_API

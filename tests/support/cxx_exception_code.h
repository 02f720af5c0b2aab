// Test helper: the structured-exception code with which this toolchain's C++ exceptions arrive.
#pragma once

/// Microsoft's C++ runtime (and the POSIX stand-in, which imitates it) raises 0xE06D7363; the
/// mingw runtime's unwinder raises 0x20474343 ("GCC "). Fault filters decline both.
#if defined(__MINGW32__)
constexpr unsigned long cxxExceptionCode = 0x20474343;
#else
constexpr unsigned long cxxExceptionCode = 0xE06D7363;
#endif

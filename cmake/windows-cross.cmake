# Cross build for Windows on Linux, shared by the per-architecture toolchain files (which set
# MOONSTONE_WINDOWS_ARCH to x86_64 or i686 and include this): clang for the
# <arch>-w64-windows-gnu target with the mingw-w64 headers, the posix-thread libstdc++ of the
# mingw-w64 GCC, and lld.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${MOONSTONE_WINDOWS_ARCH})

set(MOONSTONE_MINGW_TRIPLE ${MOONSTONE_WINDOWS_ARCH}-w64-mingw32)
string(REPLACE "_" "-" package_arch ${MOONSTONE_WINDOWS_ARCH})
set(MOONSTONE_MINGW_ROOT /usr/${MOONSTONE_MINGW_TRIPLE})
# The GCC whose libstdc++ has std::mutex and std::thread (the win32 thread model has neither).
file(GLOB MOONSTONE_MINGW_GCC LIST_DIRECTORIES true /usr/lib/gcc/${MOONSTONE_MINGW_TRIPLE}/*-posix)
if(NOT MOONSTONE_MINGW_GCC)
  message(FATAL_ERROR "No posix-thread mingw-w64 GCC under /usr/lib/gcc/${MOONSTONE_MINGW_TRIPLE}: install g++-mingw-w64-${package_arch}-posix")
endif()
list(GET MOONSTONE_MINGW_GCC 0 MOONSTONE_MINGW_GCC)

set(CMAKE_C_COMPILER clang)
set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_C_COMPILER_TARGET ${MOONSTONE_WINDOWS_ARCH}-w64-windows-gnu)
set(CMAKE_CXX_COMPILER_TARGET ${MOONSTONE_WINDOWS_ARCH}-w64-windows-gnu)
set(CMAKE_RC_COMPILER ${MOONSTONE_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH ${MOONSTONE_MINGW_ROOT})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Only the target's headers: never the build machine's /usr/include.
set(mingw_cxx ${MOONSTONE_MINGW_GCC}/include/c++)
set(CMAKE_C_FLAGS_INIT "-nostdlibinc -isystem ${MOONSTONE_MINGW_ROOT}/include")
set(CMAKE_CXX_FLAGS_INIT
    "-nostdlibinc -nostdinc++ -isystem ${mingw_cxx} -isystem ${mingw_cxx}/${MOONSTONE_MINGW_TRIPLE} -isystem ${mingw_cxx}/backward -isystem ${MOONSTONE_MINGW_ROOT}/include")
# __try/__except need the Microsoft extensions (the 64-bit guard); windows.h must not pull in the old winsock.h
# before winsock2.h, nor define min and max as macros.
foreach(lang C CXX)
  string(APPEND CMAKE_${lang}_FLAGS_INIT " -fms-extensions -DWIN32_LEAN_AND_MEAN -DNOMINMAX -D_WIN32_WINNT=0x0601")
endforeach()
unset(mingw_cxx)
if(MOONSTONE_WINDOWS_ARCH STREQUAL "i686")
  # SSE2, which every processor that runs the host has, for the compiler to use.
  foreach(lang C CXX)
    string(APPEND CMAKE_${lang}_FLAGS_INIT " -msse2")
  endforeach()
endif()

# Linked by lld against the mingw runtime. On x86_64 everything is static, so that the programs
# need no DLL of the toolchain next to them. On i686 C++ exceptions unwind by DWARF tables, which
# each module registers with its unwinder: a thrown exception crosses from one module into another
# (the plug-in, the stand-in runtime, maxsim) only when all of them share one unwinder, the
# toolchain's libgcc DLL (which needs its thread DLL). GCC's crtbegin.o registers the tables
# there; clang would take mingw's own, which registers nothing, unless pointed at GCC's (-B).
# MOONSTONE_RUNTIME_DLLS names the DLLs that go beside the programs.
set(link_flags "-Wno-unused-command-line-argument -fuse-ld=lld -L${MOONSTONE_MINGW_GCC} -L${MOONSTONE_MINGW_ROOT}/lib")
if(MOONSTONE_WINDOWS_ARCH STREQUAL "i686")
  string(APPEND link_flags " -B${MOONSTONE_MINGW_GCC}/ -shared-libgcc -static-libstdc++")
  set(MOONSTONE_RUNTIME_DLLS ${MOONSTONE_MINGW_GCC}/libgcc_s_dw2-1.dll
                             ${MOONSTONE_MINGW_ROOT}/lib/libwinpthread-1.dll)
else()
  string(APPEND link_flags " -static -static-libgcc -static-libstdc++")
  set(MOONSTONE_RUNTIME_DLLS)
endif()
set(CMAKE_EXE_LINKER_FLAGS_INIT "${link_flags}")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "${link_flags}")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "${link_flags}")
unset(link_flags)

# Test programs run under Wine (test discovery and ctest alike) with the loader of the target's
# width: wine64, or the 32-bit wine of wine32; WINEPREFIX and WINEDEBUG come from the environment
# (scripts/test-windows.sh makes a throwaway prefix).
find_program(MOONSTONE_WINE NAMES ${MOONSTONE_WINE_LOADER} PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(MOONSTONE_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${MOONSTONE_WINE})
endif()
unset(package_arch)

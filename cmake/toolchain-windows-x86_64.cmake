# Cross build for 64-bit Windows on Linux: clang for the x86_64-w64-windows-gnu target with the
# mingw-w64 headers, the posix-thread libstdc++ of the mingw-w64 GCC, and lld.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(MOONSTONE_MINGW_TRIPLE x86_64-w64-mingw32)
set(MOONSTONE_MINGW_ROOT /usr/${MOONSTONE_MINGW_TRIPLE})
# The GCC whose libstdc++ has std::mutex and std::thread (the win32 thread model has neither).
file(GLOB MOONSTONE_MINGW_GCC LIST_DIRECTORIES true /usr/lib/gcc/${MOONSTONE_MINGW_TRIPLE}/*-posix)
if(NOT MOONSTONE_MINGW_GCC)
  message(FATAL_ERROR "No posix-thread mingw-w64 GCC under /usr/lib/gcc/${MOONSTONE_MINGW_TRIPLE}: install g++-mingw-w64-x86-64-posix")
endif()
list(GET MOONSTONE_MINGW_GCC 0 MOONSTONE_MINGW_GCC)

set(CMAKE_C_COMPILER clang)
set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_C_COMPILER_TARGET x86_64-w64-windows-gnu)
set(CMAKE_CXX_COMPILER_TARGET x86_64-w64-windows-gnu)
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
# __try/__except need the Microsoft extensions; windows.h must not pull in the old winsock.h
# before winsock2.h, nor define min and max as macros.
foreach(lang C CXX)
  string(APPEND CMAKE_${lang}_FLAGS_INIT " -fms-extensions -DWIN32_LEAN_AND_MEAN -DNOMINMAX -D_WIN32_WINNT=0x0601")
endforeach()
unset(mingw_cxx)

# Linked by lld against the mingw runtime, statically, so that the programs need no DLL of the
# toolchain next to them.
set(link_flags "-Wno-unused-command-line-argument -fuse-ld=lld -L${MOONSTONE_MINGW_GCC} -L${MOONSTONE_MINGW_ROOT}/lib -static -static-libgcc -static-libstdc++")
set(CMAKE_EXE_LINKER_FLAGS_INIT "${link_flags}")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "${link_flags}")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "${link_flags}")
unset(link_flags)

# Test programs run under Wine (test discovery and ctest alike); WINEPREFIX and WINEDEBUG come from
# the environment (scripts/test-windows.sh makes a throwaway prefix).
find_program(MOONSTONE_WINE64 NAMES wine64 PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(MOONSTONE_WINE64)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${MOONSTONE_WINE64})
endif()

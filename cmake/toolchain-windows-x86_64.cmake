# Cross build for 64-bit Windows on Linux (cmake/windows-cross.cmake holds the settings).
set(MOONSTONE_WINDOWS_ARCH x86_64)
set(MOONSTONE_WINE_LOADER wine64)
include(${CMAKE_CURRENT_LIST_DIR}/windows-cross.cmake)

# Cross build for 32-bit x86 Windows on Linux (cmake/windows-cross.cmake holds the settings).
set(MOONSTONE_WINDOWS_ARCH i686)
set(MOONSTONE_WINE_LOADER wine)
include(${CMAKE_CURRENT_LIST_DIR}/windows-cross.cmake)

# Per-platform choices: POSIX builds the Windows stand-in, Windows links the real Windows API.
#
# Every target that calls the Windows API links win32api: the stand-in runtime on POSIX, the
# system import libraries on Windows. Third-party libraries come as targets too: image_formats
# (stb, and OpenEXR where it exists), json, boost_headers; on Windows the tinyexr library (with the
# mingw zlib) reads and writes the EXR files instead of OpenEXR.
if(WIN32)
  set(MOONSTONE_PLATFORM windows)
  set(MOONSTONE_OTHER_PLATFORM posix)
  # M_PI and the other constants of math.h, which the Windows C runtime declares only on request.
  add_compile_definitions(_USE_MATH_DEFINES)
  add_library(win32api INTERFACE)
  target_link_libraries(win32api INTERFACE ws2_32 psapi dbghelp pthread)

  # The structured-exception guard: __try/__except where the compiler has it (64-bit); on 32-bit
  # x86, where clang cannot compile __try, a handler registered on the thread's chain of exception
  # frames as __try would register it.
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(MOONSTONE_EXCLUDED_SOURCES "/platform/windows/seh_frame_guard(_test)?\\.cpp$")
  else()
    set(MOONSTONE_EXCLUDED_SOURCES "/render/platform/windows/seh_guard\\.cpp$")
  endif()

  # The toolchain's DLLs that the programs need beside them (none on 64-bit).
  if(MOONSTONE_RUNTIME_DLLS)
    file(COPY ${MOONSTONE_RUNTIME_DLLS} DESTINATION ${CMAKE_BINARY_DIR}/bin)
  endif()

  # Debian ships no Windows builds of the header-only libraries, but their headers serve any
  # target: a folder of links to exactly those headers, so that no other Linux header is seen.
  set(third_party ${CMAKE_BINARY_DIR}/third_party/include)
  file(MAKE_DIRECTORY ${third_party})
  foreach(header boost nlohmann stb tinyexr.h)
    if(NOT EXISTS ${third_party}/${header})
      file(CREATE_LINK /usr/include/${header} ${third_party}/${header} SYMBOLIC)
    endif()
  endforeach()
  add_library(boost_headers INTERFACE)
  target_include_directories(boost_headers SYSTEM INTERFACE ${third_party})
  add_library(json INTERFACE)
  target_include_directories(json SYSTEM INTERFACE ${third_party})
  add_library(stb INTERFACE)
  target_include_directories(stb SYSTEM INTERFACE ${third_party}/stb)
  # tinyexr is a header-only library: its implementation is compiled once, into a library of its
  # own that the stand-in runtime and the worker both link. It compresses through zlib, linked
  # statically so that no zlib DLL has to travel with the binaries (Debian's libz-mingw-w64-dev
  # has both forms for each architecture).
  find_library(MOONSTONE_MINGW_ZLIB NAMES libz.a REQUIRED)
  file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/third_party/tinyexr_implementation.cpp CONTENT
       "#include <zlib.h>\n#define TINYEXR_IMPLEMENTATION\n#include <tinyexr.h>\n")
  add_library(tinyexr STATIC ${CMAKE_BINARY_DIR}/third_party/tinyexr_implementation.cpp)
  target_include_directories(tinyexr SYSTEM PUBLIC ${third_party})
  target_link_libraries(tinyexr PUBLIC ${MOONSTONE_MINGW_ZLIB})
  unset(third_party)
else()
  set(MOONSTONE_PLATFORM posix)
  set(MOONSTONE_OTHER_PLATFORM windows)
  add_subdirectory(standin/win32)
  add_library(win32api ALIAS win32standin)

  find_package(Boost REQUIRED)
  add_library(boost_headers INTERFACE)
  target_link_libraries(boost_headers INTERFACE Boost::headers)
  find_package(nlohmann_json REQUIRED)
  add_library(json INTERFACE)
  target_link_libraries(json INTERFACE nlohmann_json::nlohmann_json)
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(STB REQUIRED IMPORTED_TARGET GLOBAL stb)
  add_library(stb INTERFACE)
  target_link_libraries(stb INTERFACE PkgConfig::STB)
  find_package(OpenEXR REQUIRED)
endif()

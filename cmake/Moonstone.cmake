# Shared build settings: warnings as errors on the project's own code, and source globbing per folder.

# Warnings as errors for a target built from our own sources.
# Product code also warns of implicit narrowing conversions; tests, benchmarks and fuzz targets
# (which convert freely between sizes and counts) do not.
function(moonstone_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wshadow -Wpedantic -Werror)
  get_target_property(dir ${target} SOURCE_DIR)
  if(NOT dir MATCHES "/(tests|bench|fuzz)(/|$)")
    # Clang's -Wconversion also takes in sign changes, which GCC's leaves out in C++: the same
    # set on both compilers.
    target_compile_options(${target} PRIVATE -Wconversion
                           $<$<CXX_COMPILER_ID:Clang>:-Wno-sign-conversion>)
  endif()
  if(MOONSTONE_SANITIZE AND CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    # The sanitizers' instrumentation makes GCC's flow analysis report uninitialised values
    # inside the standard library that are not there; the plain build keeps the warning.
    target_compile_options(${target} PRIVATE -Wno-maybe-uninitialized)
  endif()
endfunction()

# Collects the .cpp files under each given folder (recursively) into OUT. Of the platform/posix/
# and platform/windows/ folders only the one of the platform built (MOONSTONE_PLATFORM) is kept, and
# files matching MOONSTONE_EXCLUDED_SOURCES (the other architecture's variants) are left out.
function(moonstone_sources out)
  set(files)
  foreach(dir ${ARGN})
    file(GLOB_RECURSE found CONFIGURE_DEPENDS ${dir}/*.cpp)
    list(APPEND files ${found})
  endforeach()
  list(FILTER files EXCLUDE REGEX "/platform/${MOONSTONE_OTHER_PLATFORM}/")
  if(MOONSTONE_EXCLUDED_SOURCES)
    list(FILTER files EXCLUDE REGEX "${MOONSTONE_EXCLUDED_SOURCES}")
  endif()
  set(${out} ${files} PARENT_SCOPE)
endfunction()

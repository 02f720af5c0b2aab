#!/usr/bin/env bash
# Cross-builds the 64-bit Windows binaries into ${BUILD_DIR:-build-windows} (extra CMake flags in CMAKE_EXTRA).
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${BUILD_DIR:-build-windows}
generator=()
command -v ninja >/dev/null && generator=(-G Ninja)
# shellcheck disable=SC2086
cmake -S . -B "$build_dir" "${generator[@]}" \
  -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/toolchain-windows-x86_64.cmake" ${CMAKE_EXTRA:-}
cmake --build "$build_dir" --parallel "$(nproc)"

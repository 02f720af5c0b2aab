#!/usr/bin/env bash
# Cross-builds the Windows binaries: 64-bit into ${BUILD_DIR:-build-windows}, or with --arch i686
# the 32-bit ones into ${BUILD_DIR:-build-windows-i686} (extra CMake flags in CMAKE_EXTRA).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/windows-arch.sh
generator=()
command -v ninja >/dev/null && generator=(-G Ninja)
# shellcheck disable=SC2086
cmake -S . -B "$build_dir" "${generator[@]}" \
  -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/toolchain-windows-$arch.cmake" ${CMAKE_EXTRA:-}
cmake --build "$build_dir" --parallel "$(nproc)"

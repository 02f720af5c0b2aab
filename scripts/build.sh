#!/usr/bin/env bash
# Configures and builds the project into ${BUILD_DIR:-build} (extra CMake flags in CMAKE_EXTRA).
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${BUILD_DIR:-build}
generator=()
command -v ninja >/dev/null && generator=(-G Ninja)
# shellcheck disable=SC2086
cmake -S . -B "$build_dir" "${generator[@]}" ${CMAKE_EXTRA:-}
cmake --build "$build_dir" --parallel "$(nproc)"

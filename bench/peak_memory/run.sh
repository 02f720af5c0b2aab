#!/usr/bin/env bash
# Peak resident memory of one 3840 x 2160 frame with four render elements and four multi-pass
# passes against the bytes of the bitmaps it needs (target: at most 1.25 times).
# Usage: bench/peak_memory/run.sh [build folder]; exits 1 when the target is missed.
set -euo pipefail
build_dir=$(cd "${1:-build}" && pwd)
cmake --build "$build_dir" --target bench_peak_memory --parallel 2 >/dev/null
"$build_dir/bin/bench_peak_memory"

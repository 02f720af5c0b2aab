#!/usr/bin/env bash
# Runs the black-frame benchmark and checks the test on a 3840 x 2160 frame against its floor,
# a plain pass summing the same pixels: at most 4 times. Usage: run.sh [BUILD-DIR] (default: build).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build_dir=$(realpath "${1:-$root/build}")
cd "$root"
cmake --build "$build_dir" --target bench_black_frame --parallel 2 >/dev/null
json=$(mktemp)
trap 'rm -f "$json"' EXIT
"$build_dir/bin/bench_black_frame" --benchmark_repetitions="${REPETITIONS:-9}" \
  --benchmark_enable_random_interleaving=true --benchmark_format=json >"$json"
python3 bench/floor_ratio.py "$json" BM_CheckBlackFrame BM_SumPixels 4

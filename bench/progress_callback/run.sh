#!/usr/bin/env bash
# Runs the progress-callback benchmark and checks the throttled path against its floor, one
# tick-count read: at most 3 times. Usage: run.sh [BUILD-DIR] (default: build).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build_dir=$(realpath "${1:-$root/build}")
cd "$root"
cmake --build "$build_dir" --target bench_progress_callback --parallel 2 >/dev/null
json=$(mktemp)
trap 'rm -f "$json"' EXIT
"$build_dir/bin/bench_progress_callback" --benchmark_repetitions="${REPETITIONS:-9}" \
  --benchmark_enable_random_interleaving=true --benchmark_format=json >"$json"
python3 bench/floor_ratio.py "$json" BM_ProgressNotDue BM_TickCountRead 3

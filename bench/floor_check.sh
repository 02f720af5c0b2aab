#!/usr/bin/env bash
# Builds and runs one Google Benchmark program and checks a measurement against its floor from
# the same run. Usage: floor_check.sh BUILD-DIR PROGRAM MEASURED FLOOR MAXIMUM-RATIO
# (REPETITIONS, default 9, sets how often each benchmark runs; they are interleaved at random).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_dir=$(realpath "$1")
program=$2
cd "$root"
cmake --build "$build_dir" --target "$program" --parallel 2 >/dev/null
json=$(mktemp)
trap 'rm -f "$json"' EXIT
"$build_dir/bin/$program" --benchmark_repetitions="${REPETITIONS:-9}" \
  --benchmark_enable_random_interleaving=true --benchmark_format=json >"$json"
python3 bench/floor_ratio.py "$json" "$3" "$4" "$5"

#!/usr/bin/env bash
# Runs the soak: FRAMES frames (default 2000; CI uses 200) of a small scene in one maxsim
# session, failing when maxsim's resident memory or open descriptors grow after the first 100.
# Usage: run.sh [BUILD-DIR] [FRAMES] (default: build, 2000).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build_dir=$(realpath "${1:-$root/build}")
cd "$root"
frames=${2:-${SOAK_FRAMES:-2000}}
cmake --build "$build_dir" --target bench_soak --parallel 2 >/dev/null
"$build_dir/bin/bench_soak" --frames "$frames" --every 100 --bin "$build_dir/bin"

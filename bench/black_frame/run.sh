#!/usr/bin/env bash
# Runs the black-frame benchmark and checks the test on a 3840 x 2160 frame against its floor,
# a plain pass summing the same pixels: at most 4 times. Usage: run.sh [BUILD-DIR] (default: build).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
exec bash "$root/bench/floor_check.sh" "${1:-$root/build}" bench_black_frame \
  BM_CheckBlackFrame BM_SumPixels 4

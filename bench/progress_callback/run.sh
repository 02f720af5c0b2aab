#!/usr/bin/env bash
# Runs the progress-callback benchmark and checks the throttled path against its floor, one
# tick-count read: at most 3 times. Usage: run.sh [BUILD-DIR] (default: build).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
exec bash "$root/bench/floor_check.sh" "${1:-$root/build}" bench_progress_callback \
  BM_ProgressNotDue BM_TickCountRead 3

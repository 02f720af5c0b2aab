#!/usr/bin/env bash
# Farm scaling: 40 frames that keep a core busy, rendered by one `foxglove-worker render` and by a
# Slurm array job of two 20-frame tasks on the same machine (the ratio of wall times is the
# figure; bench/slurm_task_start measures a task's fixed cost). Needs root: it brings up
# its own one-node Slurm with scripts/local-slurm.sh and tears it down.
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build}
worker=$(pwd)/$build/bin/foxglove-worker
scene=$(pwd)/bench/farm/busy_frames.max
frames=${FARM_BENCH_FRAMES:-1-40}
chunk=${FARM_BENCH_CHUNK:-20}

# shellcheck source=bench/common/local_cluster.sh
source bench/common/local_cluster.sh "farm benchmark"

elapsed() { python3 -c "import sys; print(f'{float(sys.argv[2]) - float(sys.argv[1]):.2f}')" "$1" "$2"; }

echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg), $(nproc) CPUs"

# One worker, every frame in turn.
start=$(now)
"$worker" render "$scene" --frames "$frames" --work-dir "$work/single" --drive R="$work/single-r" \
  --progress lines >"$work/single.log"
single=$(elapsed "$start" "$(now)")
echo "one foxglove-worker render, frames $frames: ${single} s"

# The same frames as Slurm tasks of $chunk frames, two running at a time on the two cores.
start=$(now)
"$worker" farm submit "$scene" --frames "$frames" --chunk "$chunk" --job-dir "$work/farm" \
  --drive R="$work/farm-r" >/dev/null
"$worker" farm wait "$work/farm" --poll 0.1 >"$work/farm.log"
farm=$(elapsed "$start" "$(now)")
echo "farm job, tasks of $chunk frames: ${farm} s"
echo "scaling (one render / farm job): $(python3 -c "print(f'{$single / $farm:.2f}')")"

echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"

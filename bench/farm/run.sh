#!/usr/bin/env bash
# Farm scaling: 40 frames that keep a core busy, rendered by one `foxglove-worker render` and by a
# Slurm array job of two 20-frame tasks on the same machine (the ratio of wall times is the
# figure), and the fixed cost a task adds (submission to its first frame). Needs root: it brings up
# its own one-node Slurm with scripts/local-slurm.sh and tears it down.
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build}
worker=$(pwd)/$build/bin/foxglove-worker
scene=$(pwd)/bench/farm/busy_frames.max
small=$(pwd)/examples/scenes/animated.max
frames=${FARM_BENCH_FRAMES:-1-40}
chunk=${FARM_BENCH_CHUNK:-20}

if [ "$(id -u)" -ne 0 ]; then
  echo "farm benchmark: skipped (needs root to start Slurm's daemons)"
  exit 0
fi
work=$(mktemp -d "${TMPDIR:-/tmp}/farm-bench.XXXXXX")
cluster=$(bash scripts/local-slurm.sh up | tail -n 1)
trap 'bash scripts/local-slurm.sh down "$cluster"; rm -rf "$work"' EXIT
export SLURM_CONF=$cluster/slurm.conf

now() { date +%s.%N; }
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

# The fixed cost of a task: submission to the first frame's start line in the task's log,
# against the same interval for a worker started directly, on a small one-frame job.
first_frame() {  # waits for "FRAME: 1 start" in the file; prints the time it appeared
  until grep -q "^FRAME: 1 start" "$1" 2>/dev/null; do sleep 0.02; done
  now
}
for run in 1 2 3 4 5; do
  start=$(now)
  "$worker" render "$small" --frames 1 --work-dir "$work/d$run" --drive R="$work/d$run-r" \
    --progress lines >"$work/direct$run.log" &
  direct=$(elapsed "$start" "$(first_frame "$work/direct$run.log")")
  wait
  start=$(now)
  "$worker" farm submit "$small" --frames 1 --job-dir "$work/f$run" --drive R="$work/f$run-r" >/dev/null
  task=$(elapsed "$start" "$(first_frame "$work/f$run/tasks/0/attempt-0.log")")
  "$worker" farm wait "$work/f$run" --poll 0.1 >/dev/null
  echo "run $run: submission to first frame ${task} s; a direct worker's start to first frame ${direct} s"
done
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"

#!/usr/bin/env bash
# The fixed cost of a Slurm task, split into its steps: farm submit (sbatch), slurmctld's
# scheduling, slurmd's launch of the batch step, the worker's start and maxsim's start up to the
# first frame; against a worker started directly. Needs root: it brings up its own one-node
# Slurm with scripts/local-slurm.sh and tears it down.
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build}
worker=$(pwd)/$build/bin/foxglove-worker
scene=$(pwd)/examples/scenes/animated.max
runs=${TASK_START_RUNS:-5}

# shellcheck source=bench/common/local_cluster.sh
source bench/common/local_cluster.sh "slurm task start benchmark"

# Polls every 5 ms until the file holds a line matching the pattern; prints the time it did.
when_line() {
  until grep -qE "$2" "$1" 2>/dev/null; do sleep 0.005; done
  now
}
# Polls until the file exists (slurmstepd opens the task's log before it runs the script).
when_file() {
  until [ -e "$1" ]; do sleep 0.005; done
  now
}
# The time of a slurmctld or slurmd log line ("[2026-12-08T22:21:14.044] ..."), as epoch seconds.
log_time() {
  local stamp
  stamp=$(grep -m1 -E "$2" "$1" | sed -e 's/^\[\([^]]*\)\].*/\1/')
  date -d "$stamp" +%s.%N
}
report() {  # prints the differences of successive times, in seconds, with their names
  python3 - "$@" <<'PY'
import sys
names, times = sys.argv[1::2], [float(t) for t in sys.argv[2::2]]
steps = [f"{n} {b - a:.3f}" for n, a, b in zip(names[1:], times, times[1:])]
print(f"total {times[-1] - times[0]:.3f} s: " + ", ".join(steps))
PY
}

echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg), $(nproc) CPUs"
grep '^SchedulerParameters' "$SLURM_CONF" || echo "SchedulerParameters: Slurm's defaults"
for run in $(seq "$runs"); do
  start=$(now)
  "$worker" render "$scene" --frames 1 --work-dir "$work/d$run" --drive R="$work/d$run-r" \
    --progress lines >"$work/direct$run.log" &
  worker_up=$(when_line "$work/direct$run.log" "^JOB: start")
  first=$(when_line "$work/direct$run.log" "^FRAME: 1 start")
  wait
  echo "run $run, direct worker: $(report start "$start" worker "$worker_up" maxsim "$first")"

  log=$work/f$run/tasks/0/attempt-0.log
  start=$(now)
  id=$("$worker" farm submit "$scene" --frames 1 --job-dir "$work/f$run" --drive R="$work/f$run-r")
  submitted=$(now)
  launched=$(when_file "$log")
  worker_up=$(when_line "$log" "^JOB: start")
  first=$(when_line "$log" "^FRAME: 1 start")
  "$worker" farm wait "$work/f$run" --poll 0.1 >/dev/null
  allocated=$(log_time "$cluster/slurmctld.log" "Allocate JobId=${id}[_ (]")
  echo "run $run, Slurm task:    $(report start "$start" submit "$submitted" \
    scheduler "$allocated" launch "$launched" worker "$worker_up" maxsim "$first")"
done
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"

#!/usr/bin/env bash
# Session benchmarks against their floors: skipped frames per second through a whole session
# over loopback against a raw packet ping-pong of the same packets (target: at least a third of
# its rate), and 50 small frames through one session against one maxsim start per frame (target:
# at least 5 times faster). Usage: bench/session/run.sh [build folder]; exits 1 on a missed target.
set -euo pipefail
build_dir=$(cd "${1:-build}" && pwd)
cmake --build "$build_dir" --target bench_session_skip bench_session_frames --parallel 2 >/dev/null
bin="$build_dir/bin"
results=$(mktemp)
trap 'rm -f "$results"' EXIT

"$bin/bench_session_skip" --benchmark_repetitions=5 --benchmark_enable_random_interleaving=true \
  --benchmark_min_time=1 --benchmark_format=json --benchmark_out="$results" >/dev/null
status=0
python3 - "$results" <<'PY' || status=1
import json, sys
runs = json.load(open(sys.argv[1]))["benchmarks"]
def median_rate(name):
    for run in runs:
        if run.get("error_occurred"):
            sys.exit("benchmark failed: %s: %s" % (run["name"], run.get("error_message")))
    rates = sorted(r["items_per_second"] for r in runs
                   if r["run_name"] == name and r.get("run_type") == "iteration")
    return rates[len(rates) // 2]
session = median_rate("SkippedFrameThroughSession/real_time")
floor = median_rate("PacketPingPong/real_time")
ratio = session / floor
print("skipped frames through a session: %.0f frames/s (median of 5)" % session)
print("packet ping-pong of the same packets: %.0f exchanges/s (median of 5)" % floor)
print("ratio: %.3f (target at least 0.333): %s" % (ratio, "met" if ratio >= 1 / 3 else "MISSED"))
sys.exit(0 if ratio >= 1 / 3 else 1)
PY

"$bin/bench_session_frames" 50 3 || status=1
exit $status

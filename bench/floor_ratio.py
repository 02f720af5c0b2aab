#!/usr/bin/env python3
"""Compares a benchmark with its floor from one Google Benchmark JSON output.

Usage: floor_ratio.py RESULTS.json MEASURED FLOOR MAX_RATIO
Takes the median over the repetitions of each benchmark's CPU time per iteration (a shared
machine takes the CPU away from a run at random; CPU time leaves those pauses out), prints
both, their ratio and the ratio of wall-clock medians, and exits 1 when the ratio exceeds
MAX_RATIO or a benchmark reported an error.
"""
import json
import statistics
import sys


def times(runs, name, key):
    values = [r[key] for r in runs if r["run_name"] == name and r.get("run_type") == "iteration"]
    if not values:
        sys.exit("no repetitions of %s in the results" % name)
    return values


def main():
    results, measured, floor, max_ratio = sys.argv[1], sys.argv[2], sys.argv[3], float(sys.argv[4])
    document = json.load(open(results))
    runs = document["benchmarks"]
    for run in runs:
        if run.get("error_occurred"):
            sys.exit("benchmark failed: %s: %s" % (run["name"], run.get("error_message")))
    unit = next(r["time_unit"] for r in runs if r["run_name"] == measured)
    cpu = {n: statistics.median(times(runs, n, "cpu_time")) for n in (measured, floor)}
    real = {n: statistics.median(times(runs, n, "real_time")) for n in (measured, floor)}
    count = len(times(runs, measured, "cpu_time"))
    ratio = cpu[measured] / cpu[floor]
    met = ratio <= max_ratio
    print("%s: %.4g %s (median CPU time of %d)" % (measured, cpu[measured], unit, count))
    print("%s: %.4g %s (median CPU time of %d)" % (floor, cpu[floor], unit, count))
    print("ratio: %.2f (wall clock %.2f); target at most %g: %s"
          % (ratio, real[measured] / real[floor], max_ratio, "met" if met else "MISSED"))
    context = document.get("context", {})
    print("machine: %s CPUs at %s MHz, load %s" % (context.get("num_cpus"),
          context.get("mhz_per_cpu"), context.get("load_avg")))
    sys.exit(0 if met else 1)


if __name__ == "__main__":
    main()

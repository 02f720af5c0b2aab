#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, ASan+UBSan) and runs each for FUZZ_SECONDS on a copy of its
# seed corpus. Crashing inputs are kept in FUZZ_ARTIFACTS and make the script fail.
#   FUZZ_SECONDS    seconds per target (default 15)
#   FUZZ_TARGETS    targets to run, separated by blanks (default: every folder under fuzz/)
#   FUZZ_ARTIFACTS  where crashing inputs go (default: <build folder>/fuzz-artifacts)
#   FUZZ_KEEP       a folder to keep each target's grown corpus in (default: thrown away)
#   FUZZ_SEED       the mutation seed (default: a fresh one each run). With a seed the run is
#                   repeatable: a slower machine runs a shorter stretch of the same inputs.
#   BUILD_DIR       the fuzz build folder (default: build-fuzz)
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${BUILD_DIR:-build-fuzz}
seconds=${FUZZ_SECONDS:-15}
artifacts=${FUZZ_ARTIFACTS:-$build_dir/fuzz-artifacts}

if [ -z "${FUZZ_TARGETS:-}" ]; then
  FUZZ_TARGETS=$(for d in fuzz/*/; do n=$(basename "$d"); [ -f "$d/$n.cpp" ] && echo "$n"; done)
fi

CC=clang CXX=clang++ cmake -S . -B "$build_dir" -G Ninja -DMOONSTONE_FUZZ=ON -DMOONSTONE_TESTS=OFF \
  -DMOONSTONE_BENCH=OFF -DMOONSTONE_SANITIZE=ON >/dev/null
cmake --build "$build_dir" --target fuzz_targets --parallel 2

# The sanitizers' settings of the test suite: the fault guards may install their own handlers.
source scripts/sanitizer-env.sh

# Grown corpora, the targets' sandboxes and their HOME live here and go when the script ends.
work=$(mktemp -d "${TMPDIR:-/tmp}/moonstone-fuzz-XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir -p "$artifacts" "$work/tmp" "$work/home"
# Absolute, since a target may change its working folder (command_set works in its sandbox).
artifacts=$(cd "$artifacts" && pwd)

failed=()
for target in $FUZZ_TARGETS; do
  corpus="$work/corpus/$target"
  mkdir -p "$corpus"
  cp fuzz/"$target"/corpus/* "$corpus"/
  echo "fuzz: $target for ${seconds}s"
  if ! TMPDIR="$work/tmp" HOME="$work/home" "$build_dir/bin/fuzz_$target" \
      -max_total_time="$seconds" -timeout=20 -print_final_stats=1 ${FUZZ_SEED:+-seed="$FUZZ_SEED"} \
      -artifact_prefix="$artifacts/$target-" "$corpus" >"$work/$target.log" 2>&1; then
    tail -n 60 "$work/$target.log"
    failed+=("$target")
  else
    grep -E "^stat::(number_of_executed_units|peak_rss_mb)|Done [0-9]+ runs" "$work/$target.log" || true
  fi
  if [ -n "${FUZZ_KEEP:-}" ]; then
    mkdir -p "$FUZZ_KEEP/$target"
    cp "$corpus"/* "$FUZZ_KEEP/$target"/
  fi
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz: FAILED: ${failed[*]} (inputs in $artifacts)" >&2
  exit 1
fi
echo "fuzz: every target ran ${seconds}s without a finding"

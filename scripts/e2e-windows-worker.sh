#!/usr/bin/env bash
# End to end on a whole Windows stack: foxglove-worker.exe drives maxsim.exe and moonstone.dlx under
# the same Wine. The example scenes (elements, multi-pass with previews, tiles, a black frame, EXR
# frames whole and in tiles, decoded and checked by the worker), a trapped fault and a crash with
# the next frame rendered by a new maxsim, the work-folder lock, a stop by Ctrl+C, and the worker
# killed outright: no maxsim may be left behind. Run inside the prefix that scripts/test-windows.sh
# makes (it calls this, with its --arch).
set -uo pipefail
cd "$(dirname "$0")/.."
root=$PWD
source scripts/windows-arch.sh
build_dir=$(cd "$build_dir" && pwd)
: "${WINEPREFIX:?run under scripts/test-windows.sh, which makes the Wine prefix}"
export WINEDEBUG=${WINEDEBUG:--all}
worker_exe=$build_dir/bin/foxglove-worker.exe
work=$(mktemp -d "${TMPDIR:-/tmp}/moonstone-e2e-worker-XXXXXX")
# Drive R: as a node maps a network drive before its worker starts: for every program alike.
mkdir -p "$work/drive_r"
ln -sfn "$work/drive_r" "$WINEPREFIX/dosdevices/r:"
trap 'rm -f "$WINEPREFIX/dosdevices/r:"; rm -rf "$work"' EXIT
source scripts/e2e-checks.sh
started=$SECONDS

windows_path() {  # a POSIX path as Wine's drive Z: names it
  printf 'Z:%s' "${1//\//\\}"
}

render() {  # SCENE FRAMES [OPTIONS...]: the worker's line output, in $output; status in $status
  local scene=$1 frames=$2
  shift 2
  output=$(cd "$work" && "$wine" "$worker_exe" render "$(windows_path "$scene")" --frames "$frames" \
    --progress lines "$@" 2>&1 | tr -d '\r')
  status=${PIPESTATUS[0]}
}

# The maxsim.exe processes of this prefix still running (other prefixes on the machine are
# someone else's).
maxsims_left() {
  local count=0 proc
  for proc in /proc/[0-9]*; do
    { tr '\0' ' ' <"$proc/cmdline" | grep -q 'maxsim\.exe'; } 2>/dev/null || continue
    { tr '\0' '\n' <"$proc/environ" | grep -qx "WINEPREFIX=$WINEPREFIX"; } 2>/dev/null || continue
    count=$((count + 1))
  done
  echo "$count"
}

# Waits (up to 60 s) until the file holds the text; the worker's line output shows its progress.
wait_for_text() {  # FILE TEXT
  local waited=0
  until grep -q "$2" "$1" 2>/dev/null; do
    sleep 0.2
    waited=$((waited + 1))
    [ "$waited" -lt 300 ] || return 1
  done
}

# The examples: render elements, multi-pass effects with JPEG previews, tiles stitched.
render "$root/examples/scenes/animated.max" 1-3
[ "$status" -eq 0 ] && [ -f "$work/drive_r/animated/elements/animated_alpha0003.tga" ]
check "animated scene with render elements" $? "$output"
render "$root/examples/scenes/multipass.max" 1-2 --jpeg-previews 'R:\previews'
[ "$status" -eq 0 ] && ls "$work"/drive_r/previews/*.jpg >/dev/null 2>&1
check "multi-pass scene with JPEG previews" $? "$output"
render "$root/examples/scenes/animated.max" 2 --tiles 2x2 --padding 4 --summary-json summary.json
[ "$status" -eq 0 ] && grep -q '"status"' "$work/summary.json"
check "tiles stitched into the frame, summary JSON written" $? "$output"
render "$root/examples/scenes/black_frames.max" 2-3 --fail-on-black 50
[ "$status" -eq 1 ] && grep -q "^DONE: 2 " <<<"$output" && grep -q "^FAILED: 3 " <<<"$output"
check "a black frame fails with status 1, the frame before it renders" $? "$output"
# maxsim.exe writes the EXR frame with tinyexr; the worker decodes it with tinyexr too and checks
# its size and its samples.
render "$root/examples/scenes/exr_output.max" 1
[ "$status" -eq 0 ] && grep -q "^DONE: 1 " <<<"$output" &&
  grep -q "^FILE: 1 ok 160x120 .*exr_output0001.exr" <<<"$output"
check "EXR frame written and verified" $? "$output"
# In tiles: the worker stitches the EXR tiles, writes the frame with tinyexr and verifies it.
render "$root/examples/scenes/exr_output.max" 2 --tiles 2x1
[ "$status" -eq 0 ] && grep -q "^FILE: 2 ok 160x120 .*exr_output0002.exr" <<<"$output"
check "EXR tiles stitched, written and verified" $? "$output"

# A fault the plug-in traps; a float underflow, which its filter declines, so that maxsim crashes
# and the crash is named from its exit code; a stack overflow, which Wine can neither trap nor
# report (maxsim ends with status 0 there). Each time frame 2 renders, in a new maxsim after a crash.
for entry in "access_violation:Trapped SEH Exception in CurRendererRenderFrame(): Access Violation" \
  "float_underflow:maxsim crashed with " \
  "stack_overflow:the plug-in closed the connection; maxsim "; do
  kind=${entry%%:*}
  expected=${entry#*:}
  printf '{"format": "moonstone-scene", "render": {"width": 32, "height": 24, "output": "R:\\\\%s\\\\f.tga"}, "faults": [{"kind": "%s", "at": "render", "frame": 1}]}' \
    "$kind" "$kind" >"$work/$kind.max"
  render "$work/$kind.max" 1-2
  grep "^FAILED: 1 " <<<"$output" | grep -qF "$expected" && grep -q "^DONE: 2 " <<<"$output"
  check "fault $kind: '$expected', then the next frame renders" $? "$output"
done

# A slow render to stop: each row takes 300 ms.
printf '{"format": "moonstone-scene", "render": {"width": 16, "height": 40, "output": "R:\\\\slow\\\\f.tga", "ms_per_row": 300}}' >"$work/slow.max"
slow() {  # OUTPUT-FILE [OPTIONS...]: starts the slow render in the background, its pid in $pid
  local file=$1
  shift
  (cd "$work" && exec "$wine" "$worker_exe" render "$(windows_path "$work/slow.max")" --frames 1-5 \
    --progress lines "$@" >"$file" 2>&1) &
  pid=$!
}

# The work-folder lock: a second worker on the same folder is refused as a bad node (status 4),
# then Ctrl+C (SIGINT, which Wine delivers as the console's Ctrl+C event) stops the first in
# order: status 5, the summary written, maxsim ended.
slow "$work/stop.out"
if wait_for_text "$work/stop.out" "^PROGRESS: "; then
  render "$root/examples/scenes/animated.max" 1
  [ "$status" -eq 4 ] && grep -q "is in use by another worker" <<<"$output"
  check "a second worker on a locked work folder is refused with status 4" $? "$output"
  kill -INT "$pid"
  wait "$pid"
  status=$?
  [ "$status" -eq 5 ] && grep -q "stopped by Ctrl+C" "$work/stop.out" &&
    grep -q "^SUMMARY:" "$work/stop.out" && [ "$(maxsims_left)" -eq 0 ]
  check "Ctrl+C: status 5, summary written, no maxsim left" $? "status $status: $(grep -v PROGRESS "$work/stop.out")"
else
  kill -KILL "$pid"
  check "the slow render started" 1 "$(cat "$work/stop.out")"
fi

# The worker killed outright: its job object closes with it, and the system ends maxsim. Rows of
# 30 s, so that maxsim, asleep in a row, cannot notice the lost connection in the 10 s allowed.
printf '{"format": "moonstone-scene", "render": {"width": 16, "height": 4, "output": "R:\\\\asleep\\\\f.tga", "ms_per_row": 30000}}' >"$work/slow.max"
slow "$work/kill.out" --work-dir killed
if wait_for_text "$work/kill.out" "^PROGRESS: "; then
  kill -KILL "$pid"
  wait "$pid" 2>/dev/null
  left=1
  for _ in $(seq 50); do
    left=$(maxsims_left)
    [ "$left" -eq 0 ] && break
    sleep 0.2
  done
  check "worker killed outright: maxsim ended with it" "$left" "$left maxsim.exe still running"
else
  kill -KILL "$pid"
  check "the slow render started" 1 "$(cat "$work/kill.out")"
fi

# The farm mode stays on Linux, and says so.
farm=$("$wine" "$worker_exe" farm --help 2>&1)
grep -q "runs on Linux only" <<<"$farm"
check "farm --help says the farm mode is Linux only" $? "$farm"

echo "e2e-windows-worker ($arch): $passed passed, $failed failed in $((SECONDS - started)) s"
[ "$failed" -eq 0 ]

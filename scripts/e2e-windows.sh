#!/usr/bin/env bash
# End to end on Windows binaries: the Linux foxglove-worker drives maxsim.exe and moonstone.dlx under
# Wine (scripts/wine-maxsim.sh): the example scenes with elements, multi-pass, tiles, previews and
# EXR output, then every fault kind injected into the renderer, each trapped with its name (or,
# for the kinds Windows declines or Wine cannot raise, what really happens) and the next frame
# rendered. Run inside the prefix that scripts/test-windows.sh makes (it calls this, with its
# --arch); needs build/ (the worker) and the Windows build of that architecture.
set -uo pipefail
cd "$(dirname "$0")/.."
root=$PWD
source scripts/windows-arch.sh
build_dir=$(cd "$build_dir" && pwd)
export MAXSIM_EXE=$build_dir/bin/maxsim.exe MAXSIM_WINE=$wine
worker=${WORKER:-$root/build/bin/foxglove-worker}
: "${WINEPREFIX:?run under scripts/test-windows.sh, which makes the Wine prefix}"
work=$(mktemp -d "${TMPDIR:-/tmp}/moonstone-e2e-XXXXXX")
# The Wine wrapper points drive C's Foxglove folder into the work folder: that link goes with it,
# so that later Windows programs in the same prefix find a C:\Foxglove of their own to make.
trap 'rm -rf "$work"; if [ -L "$WINEPREFIX/drive_c/Foxglove" ]; then rm -f "$WINEPREFIX/drive_c/Foxglove"; fi' EXIT
source scripts/e2e-checks.sh

render() {  # SCENE FRAMES [OPTIONS...]: the worker's line output, in $output; status in $status
  local scene=$1 frames=$2
  shift 2
  output=$(cd "$work" && "$worker" render "$scene" --frames "$frames" --progress lines \
    --maxsim "$root/scripts/wine-maxsim.sh" --plugin-dir "$build_dir/bin/plugins" "$@" 2>&1)
  status=$?
}

# The examples: render elements, multi-pass effects, tiles stitched, JPEG previews.
render "$root/examples/scenes/animated.max" 1-3
check "animated scene with render elements" "$status" "$output"
render "$root/examples/scenes/multipass.max" 1-2 --jpeg-previews 'R:\previews'
[ "$status" -eq 0 ] && ls "$work"/foxglove-work/drive_r/previews/*.jpg >/dev/null 2>&1
check "multi-pass scene with JPEG previews" $? "$output"
render "$root/examples/scenes/animated.max" 2 --tiles 2x2 --padding 4
check "tiles stitched into the frame" "$status" "$output"
render "$root/examples/scenes/black_frames.max" 2-3 --fail-on-black 50
[ "$status" -ne 0 ] && grep -q "^DONE: 2 " <<<"$output" && grep -q "^FAILED: 3 " <<<"$output"
check "a black frame fails, the frame before it renders" $? "$output"

# EXR: the floating-point frame written by the Windows build, decoded by the Linux worker.
render "$root/examples/scenes/exr_output.max" 1
[ "$status" -eq 0 ] && ls "$work"/foxglove-work/drive_r/exr/*.exr >/dev/null 2>&1
check "EXR output written and decoded" $? "$output"

# Each fault kind in frame 1; frame 2 must render all the same. Expected under Windows (as Wine
# shows it): the trap's exception name, or "ends" when the process ends (a declined float
# underflow; a denormal operand, which arrives as an underflow; a stack overflow, which Wine cannot
# trap), or "none" when nothing is raised (alignment checks are off). 64-bit mode has no BOUND: the
# array-bounds check is an illegal instruction there.
faults=(
  "access_violation:Access Violation" "illegal_instruction:Illegal Instruction"
  "divide_by_zero:Integer Divide By Zero" "integer_overflow:Integer Divide By Zero"
  "privileged_instruction:Privileged Instruction" "in_page_error:Access Violation"
  "float_stack_check:Float Stack Check" "stack_overflow:ends" "misalignment:none"
)
if [ "$arch" = i686 ]; then
  # 32-bit code computes in the x87 unit, whose faults keep their names (an SSE fault would arrive
  # as Float Multiple Traps, C00002B5, which the filter declines).
  faults+=(
    "array_bounds:Array Bounds Exceeded"
    "float_divide_by_zero:Float Divide By Zero" "float_overflow:Float Overflow"
    "float_inexact:Float Inexact Result" "float_invalid:Float Invalid Operation"
    "float_underflow:ends" "float_denormal:Float Denormal Operand"
  )
else
  faults+=(
    "array_bounds:Illegal Instruction"
    "float_divide_by_zero:Float Divide By Zero" "float_overflow:Float Overflow"
    "float_inexact:Float Inexact Result" "float_invalid:Float Invalid Operation"
    "float_underflow:ends" "float_denormal:ends"
  )
fi
for entry in "${faults[@]}"; do
  kind=${entry%%:*}
  expected=${entry#*:}
  printf '{"format": "moonstone-scene", "render": {"width": 32, "height": 24, "output": "R:\\\\%s\\\\f.tga"}, "faults": [{"kind": "%s", "at": "render", "frame": 1}]}' \
    "$kind" "$kind" >"$work/$kind.max"
  render "$work/$kind.max" 1-2
  case $expected in
    ends) grep -q "^FAILED: 1 .*maxsim exited" <<<"$output" ;;
    none) grep -q "^DONE: 1 " <<<"$output" ;;
    *) grep -q "^FAILED: 1 .*Trapped SEH Exception in CurRendererRenderFrame(): $expected\$" <<<"$output" ;;
  esac
  first=$?
  grep -q "^DONE: 2 " <<<"$output"
  second=$?
  check "fault $kind: $expected, then the next frame renders" $((first + second)) "$output"
done

echo "e2e-windows: $passed passed, $failed failed"
[ "$failed" -eq 0 ]

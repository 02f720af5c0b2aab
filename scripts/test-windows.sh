#!/usr/bin/env bash
# Runs the Windows build's tests under wine64 in a throwaway Wine prefix: the test suites through
# ctest, maxsim.exe loading moonstone.dlx, then the worker driving it end to end
# (scripts/e2e-windows.sh). Build first with scripts/build.sh and scripts/build-windows.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${BUILD_DIR:-build-windows}
wine_dir=/usr/lib/wine
wine64=$(command -v wine64 || echo "$wine_dir/wine64")
wineserver=$(command -v wineserver || echo "$wine_dir/wineserver")

prefix=$(mktemp -d "${TMPDIR:-/tmp}/moonstone-wine-XXXXXX")
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
cleanup() {
  "$wineserver" -k 2>/dev/null || true
  rm -rf "$prefix"
}
trap cleanup EXIT

# One server for the whole run (started before the prefix is made, which would start a short-lived
# one), so that each test program starts in a fraction of a second.
"$wineserver" -p
"$wine64" wineboot --init >/dev/null 2>&1

ctest --test-dir "$build_dir" --output-on-failure -j"$(nproc)" "$@"

# The plug-in exports exactly its library entry points, under their decorated names.
exports=$(x86_64-w64-mingw32-objdump -p "$build_dir/bin/plugins/moonstone.dlx" |
  sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | awk '/^\t\[/ {print $NF}' | sort | tr '\n' ' ')
if [ "$exports" != "_Z10LibVersionv _Z14LibDescriptionv _Z7LibInitv " ]; then
  echo "test-windows: moonstone.dlx exports '$exports', not exactly its entry points" >&2
  exit 1
fi
echo "test-windows: moonstone.dlx exports exactly LibVersion, LibDescription and LibInit"

# The application itself: loads the plug-in and runs a script that calls it.
out=$("$wine64" "$build_dir/bin/maxsim.exe" -q -mxs 'print FoxgloveUtil' 2>&1)
if [ "$(printf '%s' "$out" | tr -d '\r')" != "<Interface:FoxgloveUtil>" ]; then
  echo "test-windows: maxsim.exe did not load moonstone.dlx: $out" >&2
  exit 1
fi
echo "test-windows: maxsim.exe loads moonstone.dlx"

bash scripts/e2e-windows.sh

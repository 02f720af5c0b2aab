#!/usr/bin/env bash
# Runs the Windows build's tests under Wine in a throwaway Wine prefix: the test suites through
# ctest, maxsim.exe loading moonstone.dlx, then the worker driving it end to end
# (scripts/e2e-windows.sh). 64-bit under wine64 by default; --arch i686 tests the 32-bit build
# under wine32. Build first with scripts/build.sh and scripts/build-windows.sh [--arch i686].
# Other arguments go to ctest.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/windows-arch.sh
wineserver=$(command -v wineserver || echo "$wine_dir/wineserver")

prefix=$(mktemp -d "${TMPDIR:-/tmp}/moonstone-wine-XXXXXX")
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# A 32-bit prefix for the 32-bit build, as 32-bit Windows is. (A 64-bit prefix would run it too,
# as 64-bit Windows runs 32-bit programs, since wine32 is installed beside wine64.)
[ "$arch" = i686 ] && export WINEARCH=win32
cleanup() {
  "$wineserver" -k 2>/dev/null || true
  rm -rf "$prefix"
}
trap cleanup EXIT

# One server for the whole run (started before the prefix is made, which would start a short-lived
# one), so that each test program starts in a fraction of a second.
"$wineserver" -p
"$wine" wineboot --init >/dev/null 2>&1

ctest --test-dir "$build_dir" --output-on-failure -j"$(nproc)" ${args[@]+"${args[@]}"}

# The plug-in exports exactly its library entry points, under the decorated names the host looks
# up (on i686 the object's symbols carry one more leading underscore, which the export table drops).
exports=$("$mingw-objdump" -p "$build_dir/bin/plugins/moonstone.dlx" |
  sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | awk '/^\t\[/ {print $NF}' | sort | tr '\n' ' ')
if [ "$exports" != "_Z10LibVersionv _Z14LibDescriptionv _Z7LibInitv " ]; then
  echo "test-windows: moonstone.dlx exports '$exports', not exactly its entry points" >&2
  exit 1
fi
echo "test-windows: moonstone.dlx ($arch) exports exactly LibVersion, LibDescription and LibInit"

# The application itself: loads the plug-in and runs a script that calls it.
out=$("$wine" "$build_dir/bin/maxsim.exe" -q -mxs 'print FoxgloveUtil' 2>&1)
if [ "$(printf '%s' "$out" | tr -d '\r')" != "<Interface:FoxgloveUtil>" ]; then
  echo "test-windows: maxsim.exe did not load moonstone.dlx: $out" >&2
  exit 1
fi
echo "test-windows: maxsim.exe ($arch) loads moonstone.dlx"

bash scripts/e2e-windows.sh --arch "$arch"

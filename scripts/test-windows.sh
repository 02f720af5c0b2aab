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
# The Windows suite writes its EXR files here; the Linux suite's reader checks them afterwards.
exchange=$(mktemp -d "${TMPDIR:-/tmp}/moonstone-exr-XXXXXX")
# The plug-in's suites write their scenes and frames on drive R:, mapped to a scratch folder as a
# node maps a network drive.
drive_r=$(mktemp -d "${TMPDIR:-/tmp}/moonstone-drive-r-XXXXXX")
cleanup() {
  "$wineserver" -k 2>/dev/null || true
  rm -rf "$prefix" "$exchange" "$drive_r"
}
trap cleanup EXIT

# One server for the whole run (started before the prefix is made, which would start a short-lived
# one), so that each test program starts in a fraction of a second.
"$wineserver" -p
"$wine" wineboot --init >/dev/null 2>&1
ln -sfn "$drive_r" "$WINEPREFIX/dosdevices/r:"
# No debugger for crashed programs: a program that an exception ends exits at once with the
# exception's code, as on a node whose error reporting is off. (Wine's debugger takes seconds,
# writes into the program's output and leaves 0xC0000354 as its exit code.)
"$wine" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /d '' /f \
  >/dev/null 2>&1

# Wine shows the root of the Linux file system as drive Z.
MOONSTONE_EXR_EXCHANGE="Z:$exchange" \
  ctest --test-dir "$build_dir" --output-on-failure -j"$(nproc)" ${args[@]+"${args[@]}"}

# The EXR files the Windows build wrote, read back by the Linux build's OpenEXR reader (skipped
# when ctest was asked to run only some tests and the writer was not among them).
if [ -f "$exchange/picture_half.exr" ] || [ ${#args[@]} -eq 0 ]; then
  MOONSTONE_EXR_EXCHANGE=$exchange build/bin/test_standin_max \
    --gtest_filter='*FileWrittenByTheWindowsBuildReadsBack*'
  echo "test-windows: the Linux reader reads the EXR files of the $arch build back"
fi

# The names a PE file exports, one a line.
exports_of() {
  "$mingw-objdump" -p "$1" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
    awk '/^\t\[/ {print $NF}' | sort
}
# The names a PE file imports from the DLL named, one a line.
imports_from() {
  "$mingw-objdump" -p "$1" |
    awk -v dll="$2" '/DLL Name:/ {on = ($3 == dll); next} on && NF == 3 && $2 ~ /^[0-9]+$/ {print $3}' |
    sort
}

# The plug-in exports exactly its library entry points, under the decorated names the host looks
# up (on i686 the object's symbols carry one more leading underscore, which the export table drops).
exports=$(exports_of "$build_dir/bin/plugins/moonstone.dlx" | tr '\n' ' ')
if [ "$exports" != "_Z10LibVersionv _Z14LibDescriptionv _Z7LibInitv " ]; then
  echo "test-windows: moonstone.dlx exports '$exports', not exactly its entry points" >&2
  exit 1
fi
echo "test-windows: moonstone.dlx ($arch) exports exactly LibVersion, LibDescription and LibInit"

# The stand-in runtime exports what its export macros mark: C++ names of its own and the data its
# headers declare with a macro; nothing of the toolchain's runtime linked into it (thread library,
# unwinder, C++ support, mingw start-up code), which every program links for itself. And it
# exports everything that the plug-in and maxsim.exe import from it.
core_exports=$(exports_of "$build_dir/bin/libmaxcore.dll")
foreign=()
for name in $core_exports; do
  case $name in
    _ZSt* | _ZNSt* | _ZNKSt* | _ZT?St* | _ZT?NSt* | *__gnu_cxx* | *__cxxabiv1* | _Znw* | _Zna* | _Zdl* | _Zda*)
      foreign+=("$name") ;;
    _Z*) ;;
    *) grep -rqE "^extern [A-Za-z]+Export [A-Za-z_]+\*? $name;" standin/max/include || foreign+=("$name") ;;
  esac
done
if [ ${#foreign[@]} -ne 0 ]; then
  echo "test-windows: libmaxcore.dll exports what no export macro marks: ${foreign[*]}" >&2
  exit 1
fi
for module in plugins/moonstone.dlx maxsim.exe; do
  missing=$(comm -23 <(imports_from "$build_dir/bin/$module" libmaxcore.dll) <(printf '%s\n' "$core_exports") | tr '\n' ' ')
  if [ -n "$missing" ]; then
    echo "test-windows: $module imports from libmaxcore.dll what it does not export: $missing" >&2
    exit 1
  fi
done
echo "test-windows: libmaxcore.dll ($arch) exports $(wc -w <<<"$core_exports") marked names, nothing of the runtime"

# The application itself: loads the plug-in and runs a script that calls it.
out=$("$wine" "$build_dir/bin/maxsim.exe" -q -mxs 'print FoxgloveUtil' 2>&1)
if [ "$(printf '%s' "$out" | tr -d '\r')" != "<Interface:FoxgloveUtil>" ]; then
  echo "test-windows: maxsim.exe did not load moonstone.dlx: $out" >&2
  exit 1
fi
echo "test-windows: maxsim.exe ($arch) loads moonstone.dlx"

bash scripts/e2e-windows.sh --arch "$arch"
bash scripts/e2e-windows-worker.sh --arch "$arch"

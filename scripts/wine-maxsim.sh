#!/usr/bin/env bash
# Runs the Windows maxsim.exe under Wine in place of maxsim, for foxglove-worker --maxsim: the
# worker's drive folders (MAXSIM_DRIVE_X) become Wine drives, and drive C's Foxglove folder (the
# plug-in's log) is drive C's of the worker. WINEPREFIX must name a prefix already made
# (scripts/test-windows.sh makes one); MAXSIM_EXE may name another maxsim.exe, and MAXSIM_WINE the
# Wine loader that runs it (wine64 by default; the 32-bit build needs wine32's).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
exe=${MAXSIM_EXE:-$here/build-windows/bin/maxsim.exe}
wine=${MAXSIM_WINE:-$(command -v wine64 || echo /usr/lib/wine/wine64)}
: "${WINEPREFIX:?WINEPREFIX must name a Wine prefix}"
export WINEDEBUG=${WINEDEBUG:--all}

for letter in {A..Y}; do
  variable=MAXSIM_DRIVE_$letter
  folder=${!variable:-}
  [ -n "$folder" ] || continue
  mkdir -p "$folder"
  if [ "$letter" = C ]; then
    # Drive C holds Windows itself in the prefix: only the plug-in's folder is redirected.
    mkdir -p "$folder/Foxglove"
    ln -sfn "$folder/Foxglove" "$WINEPREFIX/drive_c/Foxglove"
  else
    ln -sfn "$folder" "$WINEPREFIX/dosdevices/${letter,,}:"
  fi
done
# Drive Z stays Wine's view of the whole file system, so that POSIX paths (the worker's scene
# files) open from a current folder on it.
exec "$wine" "$exe" "$@"

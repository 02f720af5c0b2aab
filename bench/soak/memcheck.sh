#!/usr/bin/env bash
# Runs the soak with maxsim under valgrind's memcheck: FRAMES frames (default 100) in one
# session; fails when memcheck finds an invalid access, a use of uninitialised memory or a
# definite or indirect leak (maxsim then exits with status 99), or when the soak itself fails.
# Usage: memcheck.sh [BUILD-DIR] [FRAMES] (default: build, 100). Needs valgrind.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build_dir=$(realpath "${1:-$root/build}")
frames=${2:-100}
cmake --build "$build_dir" --target bench_soak --parallel 2 >/dev/null
# A folder that looks like the build's bin/ to the driver, with maxsim started under memcheck.
wrapped=$(mktemp -d)
trap 'rm -rf "$wrapped"' EXIT
ln -s "$build_dir/bin/plugins" "$wrapped/plugins"
cat >"$wrapped/maxsim" <<SCRIPT
#!/bin/sh
exec valgrind --error-exitcode=99 --leak-check=full --show-leak-kinds=definite,indirect \
  --errors-for-leak-kinds=definite,indirect --log-file="$wrapped/memcheck.log" \
  "$build_dir/bin/maxsim" "\$@"
SCRIPT
chmod +x "$wrapped/maxsim"
status=0
"$build_dir/bin/bench_soak" --frames "$frames" --every $((frames / 2)) --bin "$wrapped" || status=1
grep -E "ERROR SUMMARY|definitely lost|indirectly lost" "$wrapped/memcheck.log" || true
[ $status -eq 0 ] || sed -n '1,80p' "$wrapped/memcheck.log"
exit $status

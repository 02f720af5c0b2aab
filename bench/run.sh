#!/usr/bin/env bash
# Builds the project into ${BUILD_DIR:-build} and runs every benchmark (bench/*/run.sh), each
# given the build folder; each prints its measurements and the ratio against its floor.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${BUILD_DIR:-build}
bash scripts/build.sh >/dev/null
status=0
for script in bench/*/run.sh; do
  echo "== ${script%/run.sh}"
  bash "$script" "$build_dir" || status=1
done
exit $status

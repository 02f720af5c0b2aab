#!/usr/bin/env bash
# Sets up the machine, builds, and runs the whole test suite but the real-Slurm farm suite
# (label slurm: it starts Slurm's daemons as root; .ci/run runs it on its own).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh
ctest --test-dir "${BUILD_DIR:-build}" --output-on-failure --parallel "$(nproc)" --timeout 300 --label-exclude slurm

#!/usr/bin/env bash
# Sets up the machine, builds, and renders frames of an example scene through maxsim and the
# plug-in with foxglove-worker; the images land under render-output/.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh
build/bin/foxglove-worker render examples/scenes/animated.max --frames 1-24x4 \
  --work-dir render-output --jpeg-previews 'R:\previews\' "$@"
echo
echo "Images: render-output/drive_r/animated/ (render elements in elements/, JPEG previews in"
echo "render-output/drive_r/previews/); the plug-in's log: render-output/drive_c/Foxglove/logs/."

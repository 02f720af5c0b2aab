#!/usr/bin/env bash
# Installs every Debian package the project needs to build, test and run; quick when all are present.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git
  libboost-dev nlohmann-json3-dev libstb-dev libopenexr-dev openexr
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev clang-format
  imagemagick
  # The Windows build (scripts/build-windows.sh) and its tests under Wine (scripts/test-windows.sh):
  # clang cross-compiles against the mingw-w64 headers and the posix-thread libstdc++, lld links.
  g++-mingw-w64-x86-64-posix lld wine64
  # The farm mode's one-node test cluster (scripts/local-slurm.sh).
  slurmctld slurmd slurm-client munge
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
else
  echo "setup: all packages present"
fi

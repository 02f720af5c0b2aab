#!/usr/bin/env bash
# Installs every Debian package the project needs to build, test and run; quick when all are present.
# With --windows-i686 it also sets up the 32-bit Windows build and wine32 (i386 multiarch).
set -euo pipefail

usage() { echo "usage: $0 [--windows-i686]" >&2; exit 2; }
windows_i686=false
for argument in "$@"; do
  case $argument in
    --windows-i686) windows_i686=true ;;
    *) usage ;;
  esac
done

packages=(
  build-essential cmake ninja-build pkg-config git
  libboost-dev nlohmann-json3-dev libstb-dev libopenexr-dev openexr
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev clang-format
  imagemagick
  # The Windows build (scripts/build-windows.sh) and its tests under Wine (scripts/test-windows.sh):
  # clang cross-compiles against the mingw-w64 headers and the posix-thread libstdc++, lld links.
  g++-mingw-w64-x86-64-posix lld wine64
  # Its EXR files: tinyexr (header-only) with the mingw zlib of both architectures.
  libtinyexr-dev libz-mingw-w64-dev
  # The farm mode's one-node test cluster (scripts/local-slurm.sh).
  slurmctld slurmd slurm-client munge
)

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive

if $windows_i686; then
  # The 32-bit Windows build (scripts/build-windows.sh --arch i686) and its tests under wine32,
  # which Debian packages for the i386 architecture only.
  packages+=(g++-mingw-w64-i686-posix wine32:i386)
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    echo "setup: adding the i386 architecture for wine32 (asked for by --windows-i686)"
    $SUDO dpkg --add-architecture i386
  fi
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
else
  echo "setup: all packages present"
fi
$windows_i686 || echo "setup: the 32-bit Windows build is left out (scripts/setup.sh --windows-i686 adds it)"

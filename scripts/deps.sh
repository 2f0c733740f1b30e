#!/usr/bin/env bash
# Installs the Debian packages Vantorel needs, when missing; safe to run again.
#
#   scripts/deps.sh              build, run and test (run.sh and test.sh; rigctl for the
#                                simulated radio's tests; openssl and ip for the remote
#                                station's tests)
#   scripts/deps.sh fuzz         also clang and libFuzzer (scripts/fuzz.sh)
#   scripts/deps.sh screenshots  also Xvfb (scripts/screenshots.sh)
#   scripts/deps.sh package      also what cpack -G DEB, the checks of the installed
#                                files and lintian use (scripts/package.sh)
#   scripts/deps.sh dev          also ccache, which scripts/build.sh then uses for rebuilds
set -euo pipefail

packages=(
  cmake
  g++
  make
  pkg-config
  qt6-base-dev
  qt6-serialport-dev
  qt6-svg-dev
  libgl-dev
  libxcb1-dev
  libgtest-dev
  libgmock-dev
  libbenchmark-dev
  libssl-dev
  socat
  libhamlib-utils
  openssl
  iproute2
)
for group in "$@"; do
  case "$group" in
    fuzz) packages+=(clang libclang-rt-14-dev) ;;
    screenshots) packages+=(xvfb xauth imagemagick) ;;
    package) packages+=(dpkg-dev file appstream desktop-file-utils lintian) ;;
    dev) packages+=(ccache) ;;
    *) echo "scripts/deps.sh: unknown group '$group'" >&2; exit 2 ;;
  esac
done

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if ((${#missing[@]} == 0)); then
  exit 0
fi

echo "Installing missing packages: ${missing[*]}"
sudo=""
if [[ $(id -u) -ne 0 ]]; then
  sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"

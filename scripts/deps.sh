#!/usr/bin/env bash
# Installs the Debian packages Vantorel needs to build and test, when missing.
# Used by run.sh and test.sh; safe to run again.
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
  clang
  libclang-rt-14-dev
  socat
  xvfb
  xauth
)

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

#!/usr/bin/env bash
# Configures and builds Vantorel into build/: everything, or the targets named.
#
#   scripts/build.sh            the program, the tests and the benchmarks
#   scripts/build.sh vantorel   the program only
set -euo pipefail
cd "$(dirname "$0")/.."
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" >/dev/null
targets=()
for t in "$@"; do
  targets+=(--target "$t")
done
cmake --build build -j"$(nproc)" "${targets[@]}"

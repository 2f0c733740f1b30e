#!/usr/bin/env bash
# Measures the bridge over pseudo-terminals next to a socat relay in the same
# run: direct-mode relay latency both ways, translating-mode latency beyond the
# radio's 10 ms pause, translated radio answers per second (none may be lost)
# and idle CPU with all ports open. Prints each figure with its target; exits 1
# when a target is missed. Takes about 20 seconds; run it on a quiet machine.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target bench_bridge
exec build/bench/bridge/bench_bridge

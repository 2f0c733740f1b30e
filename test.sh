#!/usr/bin/env bash
# Installs missing dependencies, builds Vantorel and runs every test through ctest.
#
#   ./test.sh            the tests on the normal build (build/)
#   ./test.sh sanitize   the tests once more under AddressSanitizer and
#                        UndefinedBehaviorSanitizer, warnings as errors (build-sanitize/)
#   ./test.sh fuzz       every fuzz target for 20 s under libFuzzer and both
#                        sanitizers, clang (build-fuzz/; scripts/fuzz.sh for longer)
#
# Run one kind of test with a label: ctest --test-dir build -L unit (or pty, gui).
set -euo pipefail
cd "$(dirname "$0")"
scripts/deps.sh
export QT_QPA_PLATFORM=offscreen
if [[ "${1:-}" == "fuzz" ]]; then
  exec scripts/fuzz.sh 20
fi
if [[ "${1:-}" == "sanitize" ]]; then
  cmake --preset sanitize >/dev/null
  cmake --build --preset sanitize -j"$(nproc)"
  exec ctest --preset sanitize -j"$(nproc)"
fi
scripts/build.sh
ctest --test-dir build --output-on-failure -j"$(nproc)" --timeout 300

#!/usr/bin/env bash
# Builds the translation fuzzers with clang (libFuzzer, AddressSanitizer,
# UndefinedBehaviorSanitizer) and runs each for a number of seconds.
#
#   scripts/fuzz.sh [seconds-per-target]      (default 60)
#
# Run by hand; CI does not run it. Builds into build-fuzz/, where each target
# keeps its growing corpus between runs. A crash leaves its input in
# build-fuzz/ and stops the script with a non-zero status.
set -euo pipefail

seconds="${1:-60}"
if ! [[ "$seconds" =~ ^[0-9]+$ ]] || [ "$seconds" -eq 0 ]; then
  echo "usage: $0 [seconds-per-target]" >&2
  exit 2
fi

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/deps.sh" fuzz
out="$root/build-fuzz"
mkdir -p "$out"

flags=(-std=c++20 -g -O1 -Wall -Wextra
       -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined
       -I"$root/src")
library=("$root"/src/cat/*.cpp)
targets=(change_input changeoutput ft950)

for target in "${targets[@]}"; do
  echo "== building fuzz_$target"
  clang++ "${flags[@]}" "$root/fuzz/fuzz_$target.cpp" "${library[@]}" -o "$out/fuzz_$target"
done

for target in "${targets[@]}"; do
  echo "== running fuzz_$target for ${seconds}s"
  mkdir -p "$out/corpus_$target"
  (cd "$out" && "./fuzz_$target" -max_total_time="$seconds" -print_final_stats=1 \
     -dict="$root/fuzz/cat.dict" "$out/corpus_$target" "$root/fuzz/seeds/$target")
done

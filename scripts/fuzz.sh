#!/usr/bin/env bash
# Builds the fuzz targets (fuzz/fuzz_*.cpp) with clang, libFuzzer,
# AddressSanitizer and UndefinedBehaviorSanitizer, and runs each for a number
# of seconds, one after another.
#
#   scripts/fuzz.sh [seconds-per-target [target...]]   (default 60, every target)
#
# ./test.sh fuzz (and so CI) runs it for 20 s a target. Builds into build-fuzz/ (the fuzz
# preset), where each target keeps its growing corpus (corpus_NAME) between
# runs; the seeds in fuzz/seeds/NAME start it. A target uses fuzz/NAME.dict
# when there is one, else fuzz/cat.dict. A crash, a leak, a run over 10 s or
# over 2 GiB leaves its input in build-fuzz/ and stops the script with a
# non-zero status.
set -euo pipefail

seconds="${1:-60}"
if ! [[ "$seconds" =~ ^[0-9]+$ ]] || [ "$seconds" -eq 0 ]; then
  echo "usage: $0 [seconds-per-target [target...]]" >&2
  exit 2
fi
shift $(($# > 0 ? 1 : 0))

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/deps.sh" fuzz
cd "$root"
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake --preset fuzz "${launcher[@]}" >/dev/null
cmake --build --preset fuzz -j"$(nproc)"

targets=("$@")
if ((${#targets[@]} == 0)); then
  for source in "$root"/fuzz/fuzz_*.cpp; do
    name="$(basename "$source" .cpp)"
    targets+=("${name#fuzz_}")
  done
fi

out="$root/build-fuzz"
for target in "${targets[@]}"; do
  echo "== running fuzz_$target for ${seconds}s"
  dict="$root/fuzz/$target.dict"
  [[ -f "$dict" ]] || dict="$root/fuzz/cat.dict"
  mkdir -p "$out/corpus_$target"
  (cd "$out" && "./fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
     -print_final_stats=1 -dict="$dict" "$out/corpus_$target" "$root/fuzz/seeds/$target")
done

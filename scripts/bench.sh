#!/usr/bin/env bash
# Measures the bridge and the service without a window; run it on a quiet
# machine. Prints each figure with its target; exits 1 when a target is missed.
#
#   scripts/bench.sh          all three, about two minutes
#   scripts/bench.sh bridge   the bridge over pseudo-terminals next to a socat relay in the
#                             same run: direct-mode relay latency both ways, translating-mode
#                             latency beyond the radio's 10 ms pause, translated radio answers
#                             per second (none may be lost) and idle CPU with all ports open
#   scripts/bench.sh programs the window (offscreen) and vantorel-nox as processes, over
#                             pseudo-terminals as a user's programs meet them, next to socat
#                             in the same run: direct relay both ways, translating beyond the
#                             10 ms pause, a burst of 2000 radio answers translated (every
#                             one checked) and idle CPU with all ports open; a second word
#                             (direct, translating, burst, idle) runs one of them, and
#                             VANTOREL_BENCH_WINDOW / VANTOREL_BENCH_NOX name other builds
#   scripts/bench.sh nox      vantorel-nox as a process: start to ports open, resident memory
#                             after start and idle CPU with its ports open
#   scripts/bench.sh remote   a remote station (two vantorel-nox in network namespaces, as
#                             root): a silent outage of the link to the site's radio hearing
#                             RX;, ten outages each on tls: and tcp: (about 2 minutes)
#   scripts/bench.sh rigctl   rigctl -m 1028 "f m v t" through the FT-950 emulation of
#                             vantorel-nox to each simulated Kenwood model, side by side with
#                             rigctl with the model's own Kenwood backend straight to it
#   scripts/bench.sh polling  four programs polling frequency and mode every 100 ms through
#                             rigctld: servers against one (radio reads, at most 1.5x), and
#                             how soon a turn of the radio's knob shows (at most 200 ms); 1 min
set -euo pipefail
cd "$(dirname "$0")/.."
which="${1:-all}"
case "$which" in
  all) targets=(bench_bridge bench_programs bench_nox bench_rigctl) ;;
  bridge) targets=(bench_bridge) ;;
  programs) targets=(bench_programs) ;;
  nox) targets=(bench_nox) ;;
  remote) targets=(bench_outage) ;;
  rigctl) targets=(bench_rigctl) ;;
  polling) targets=(bench_polling) ;;
  *) echo "usage: $0 [bridge|programs [part]|nox|remote|rigctl|polling]" >&2; exit 2 ;;
esac
scripts/deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
build_targets=()
for t in "${targets[@]}"; do
  build_targets+=(--target "$t")
done
cmake --build build -j"$(nproc)" "${build_targets[@]}"
status=0
for t in "${targets[@]}"; do
  echo "== $t"
  dir="${t#bench_}"
  [[ $t == bench_outage ]] && dir=remote
  part=()
  [[ $t == bench_programs && -n "${2:-}" ]] && part=("$2")
  "build/bench/$dir/$t" "${part[@]}" || status=1
done
exit "$status"

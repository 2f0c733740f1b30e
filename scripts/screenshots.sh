#!/usr/bin/env bash
# Takes the window pictures for the README: docs/collapsed.png, docs/expanded.png
# and docs/help.png. Run by hand after a build (scripts/build.sh); installs Xvfb when missing.
#
# The program runs in an empty temporary folder, so no Catmux.ini is read and
# the window shows its design-time values. VANTOREL_BIN picks another build.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/deps.sh" screenshots
bin="${VANTOREL_BIN:-$root/build/vantorel}"
if [[ ! -x $bin ]]; then
  echo "No program at $bin: build it first (scripts/build.sh)." >&2
  exit 1
fi
bin="$(cd "$(dirname "$bin")" && pwd)/$(basename "$bin")"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cd "$work"
xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96" "$bin" --screenshot-demo "$work"

mkdir -p "$root/docs"
for name in collapsed expanded help; do
  cp "$work/$name.png" "$root/docs/$name.png"
done
echo "Saved docs/collapsed.png, docs/expanded.png and docs/help.png"

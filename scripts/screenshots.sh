#!/usr/bin/env bash
# Takes the window pictures for the README: docs/collapsed.png, docs/expanded.png,
# docs/help.png, docs/traffic.png and docs/failed-start.png. Run by hand after a
# build (scripts/build.sh); installs Xvfb when missing.
#
# The program runs in a temporary folder whose Catmux.ini gives App 1 a virtual
# port there and the simulated radio, so Start comes at load; a small App 1
# talks to it while the pictures are taken, and the monitor shows the traffic.
# VANTOREL_BIN picks another build; SCALE=2 takes the pictures at twice the
# size (into the current folder instead of docs/, for a look at a high-density
# screen).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/deps.sh" screenshots
bin="${VANTOREL_BIN:-$root/build/vantorel}"
if [[ ! -x $bin ]]; then
  echo "No program at $bin: build it first (scripts/build.sh)." >&2
  exit 1
fi
bin="$(cd "$(dirname "$bin")" && pwd)/$(basename "$bin")"
caller="$PWD"

work="$(mktemp -d)"
trap 'kill "$app1" 2>/dev/null || true; rm -rf "$work"' EXIT
cd "$work"
printf '%s\r\n' "pty:$work/app1" "" "sim:kenwood" 9600 8 None 1 " 0 " " 0 " " 1 " " 1 " " 1 " \
  "" "" " 1 " " 0 " " 1 " 180 "" "" False False FT-950 >Catmux.ini

# App 1: a remote-control program polling the radio, keying it for a moment.
python3 - "$work/app1" <<'PY' &
import os, sys, time
path = sys.argv[1]
while not os.path.exists(path):
    time.sleep(0.05)
fd = os.open(path, os.O_RDWR | os.O_NOCTTY | os.O_NONBLOCK)
for command in ["FA14074000;", "MD02;", "IF;", "SM0;", "MX1;", "FA;", "IF;", "SM0;"] * 8:
    os.write(fd, command.encode())
    time.sleep(0.25)
    try:
        os.read(fd, 4096)
    except BlockingIOError:
        pass
PY
app1=$!

out="$root/docs"
if [[ "${SCALE:-1}" != 1 ]]; then
  out="$caller/screenshots-x$SCALE"
  export QT_SCALE_FACTOR="$SCALE"
fi
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 2200x1700x24 -dpi 96" "$bin" --screenshot-demo "$work"

# A failed Start: the radio's adapter is not plugged in.
failed="$work/failed"
mkdir -p "$failed"
sed "s|^sim:kenwood\r\$|/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0\r|" \
  Catmux.ini >"$failed/Catmux.ini"
(cd "$failed" && QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 2200x1700x24 -dpi 96" "$bin" \
  --screenshot-demo "$work")

mkdir -p "$out"
for name in collapsed expanded help traffic failed-start; do
  cp "$work/$name.png" "$out/$name.png"
done
echo "Saved collapsed.png, expanded.png, help.png, traffic.png and failed-start.png in $out"

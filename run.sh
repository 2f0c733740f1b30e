#!/usr/bin/env bash
# Installs missing build dependencies, builds Vantorel and starts it in the
# current folder (where it keeps Catmux.ini and its capture files).
set -euo pipefail
root="$(cd "$(dirname "$0")" && pwd)"
"$root/scripts/deps.sh"
"$root/scripts/build.sh" vantorel
exec "$root/build/vantorel" "$@"

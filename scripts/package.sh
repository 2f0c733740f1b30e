#!/usr/bin/env bash
# Builds the Debian package into build/ (vantorel_<version>_<arch>.deb) and
# checks the files it installs: the AppStream metainfo, the desktop entry and
# the service unit, then the package with lintian. Only the programs, the man
# pages and the changelog are built: installing does not build the tests.
# Install it with: sudo apt install ./build/vantorel_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh package
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON \
  >/dev/null
cmake --build build -j"$(nproc)" --target vantorel vantorel-nox vantorel-sim man_pages

staged="$(mktemp -d)"
trap 'rm -rf "$staged"' EXIT
cmake --install build --prefix "$staged" >/dev/null
appstreamcli validate --no-net "$staged"/share/metainfo/*.metainfo.xml
desktop-file-validate "$staged"/share/applications/vantorel.desktop
if command -v systemd-analyze >/dev/null; then
  # The unit finds vantorel-nox on the system path; here it is in the staging folder.
  PATH="$staged/bin:$PATH" systemd-analyze verify --man=no \
    "$staged/lib/systemd/system/vantorel@.service" 2>&1 | grep -v "is not executable" || true
fi

(cd build && cpack -G DEB)
ls -l build/vantorel_*.deb
# Errors fail the script; warnings are shown.
lintian --fail-on error build/vantorel_*.deb

#!/usr/bin/env bash
# Builds Corvane and makes the Debian package: build/corvane_<version>_amd64.deb.
#   bash scripts/package.sh
#   sudo apt install ./build/corvane_*_amd64.deb
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="${CORVANE_BUILD_DIR:-$here/build}"
bash "$here/scripts/install-deps.sh"
bash "$here/scripts/build.sh"
cd "$build"
cpack -G DEB
ls -l "$build"/corvane_*.deb

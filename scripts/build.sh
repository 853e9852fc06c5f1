#!/usr/bin/env bash
# Configures and builds Corvane into ./build (or $CORVANE_BUILD_DIR).
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="${CORVANE_BUILD_DIR:-$here/build}"
jobs="${CORVANE_JOBS:-$(nproc)}"
# Paths relative to the checkout's parent, so every clone shares one compiler cache.
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$(dirname "$here")}"
export CCACHE_NOHASHDIR="${CCACHE_NOHASHDIR:-1}"
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
cmake --build "$build" -j "$jobs"

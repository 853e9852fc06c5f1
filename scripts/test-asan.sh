#!/usr/bin/env bash
# The whole suite under AddressSanitizer and UndefinedBehaviorSanitizer (the
# asan preset, built with ccache). Any sanitizer report aborts its test, so
# the run fails on it. Run after scripts/install-deps.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
# Paths relative to the checkout's parent, as in scripts/build.sh, so a fresh
# clone finds the sanitizer objects in the compiler cache.
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$(dirname "$PWD")}"
export CCACHE_NOHASHDIR="${CCACHE_NOHASHDIR:-1}"
t0=$(date +%s)
cmake --preset asan >/dev/null
nice -n 5 cmake --build --preset asan -j "${CORVANE_JOBS:-$(nproc)}"
t1=$(date +%s)
echo "== sanitizer build: $((t1 - t0)) s"
ctest --preset asan -j "${CORVANE_TEST_JOBS:-2}" --timeout 900
t2=$(date +%s)
echo "== sanitizer suite: $((t2 - t1)) s"

#!/usr/bin/env bash
# Builds every libFuzzer target (clang, -fsanitize=fuzzer,address,undefined)
# in its own build directory, apart from the program's build. Usage:
#   bash fuzz/build.sh [outdir]          (default: build-fuzz)
#   bash fuzz/run.sh TARGET SECONDS      (one target on its seeds)
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
out="${1:-$here/build-fuzz}"
# Paths relative to the checkout, so every clone and build folder shares the cache.
export CCACHE_BASEDIR="$here" CCACHE_NOHASHDIR=1
cmake -S "$here/fuzz" -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER="${CXX_FUZZ:-clang++}" >/dev/null
cmake --build "$out" --target fuzz_all -j "${FUZZ_BUILD_JOBS:-2}"
echo "built fuzz targets in $out"

#!/usr/bin/env bash
# Runs one fuzz target for SECONDS on a working corpus seeded from
# fuzz/seeds/<TARGET without fuzz_>; new inputs stay in build-fuzz/corpus/TARGET, crashes in
# build-fuzz/crashes/TARGET. Exit status is libFuzzer's (0: nothing found).
#   bash fuzz/run.sh TARGET SECONDS [extra libFuzzer flags]
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
target="$1"
secs="$2"
shift 2
out="${FUZZ_BUILD_DIR:-$here/build-fuzz}"
corpus="$out/corpus/$target"
crashes="$out/crashes/$target"
seeds="$here/fuzz/seeds/${target#fuzz_}"
mkdir -p "$corpus" "$crashes"
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
exec "$out/$target" -max_total_time="$secs" -timeout=10 -rss_limit_mb=2048 -max_len=16384 \
  -print_final_stats=1 -artifact_prefix="$crashes/" "$@" "$corpus" "$seeds"

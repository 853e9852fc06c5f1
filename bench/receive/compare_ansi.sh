#!/bin/sh
# The receive path with a colour-heavy stream, "ANSI colours" on and off, and
# the plain text stream, run alternately in one go; prints every run and the
# median throughput of each mode.
#   bench/receive/compare_ansi.sh [build dir] [MB] [rounds]

build=${1:-build}
mb=${2:-64}
rounds=${3:-3}
bench="$build/bin/bench_receive"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
i=0
while [ "$i" -lt "$rounds" ]; do
    for mode in plain ansi_off ansi_on; do
        case $mode in
        plain) set -- BENCH_TEXT=1 ;;
        ansi_off) set -- BENCH_ANSI=1 BENCH_ANSI_COLOURS=0 ;;
        ansi_on) set -- BENCH_ANSI=1 ;;
        esac
        rc=0
        env "$@" xvfb-run -a "$bench" "$mb" >"$tmp/out" || rc=$?
        sed "s/^/[$mode round $i] /" "$tmp/out"
        [ "$rc" -eq 0 ] || echo "[$mode round $i] FAILED (exit $rc)"
        awk '/throughput/ {print $2}' "$tmp/out" >>"$tmp/$mode"
        awk '/bytes lost/ {print $3}' "$tmp/out" >>"$tmp/$mode.lost"
    done
    i=$((i + 1))
done
echo "medians over $rounds rounds, $mb MB each:"
for mode in plain ansi_off ansi_on; do
    median=$(sort -n "$tmp/$mode" | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2}')
    lost=$(awk '{s+=$1} END {print s}' "$tmp/$mode.lost")
    printf '  %-9s %8s MB/s   bytes lost in all rounds: %s\n' "$mode" "$median" "$lost"
done

#!/usr/bin/env bash
# Transfer throughput: corvane-send against the lrzsz senders, each into the
# lrzsz receiver, over the same kind of socat-linked pseudo-terminal pair.
#
#   bash bench/transfer/run.sh [BUILD_DIR] [MB] [ROUNDS]
#
# BUILD_DIR holds bin/corvane-send (default: build); MB is the size of the
# random test file (default 50); ROUNDS alternating rounds (default 3).
# PAIRS (environment) picks pairs from "zmodem xmodem1k ymodem" (default all);
# CORVANE_SEND_ARGS adds options to every corvane-send run.
# Prints each run, then per pair the mean and the median throughput and the
# ratio ours/lrzsz of each.
#
# The XMODEM/YMODEM receivers run with a 1 s timeout (-t 10, their minimum): lrzsz purges
# its input right after each ACK, and on a pty a sender that answers within
# microseconds sometimes loses the start of its next block to that purge; the
# default 10 s wait for the rest of the block would then dominate the figures
# of both senders alike.
# The machine may be shared: compare the ratios, not the absolute figures.
set -u

BUILD=${1:-build}
MB=${2:-50}
ROUNDS=${3:-3}
SEND=$(cd "$BUILD" 2>/dev/null && pwd)/bin/corvane-send
EXTRA_ARGS=${CORVANE_SEND_ARGS:-}

for tool in socat sz rz sx rx sb rb cmp; do
    command -v "$tool" >/dev/null || { echo "missing $tool" >&2; exit 2; }
done
[ -x "$SEND" ] || { echo "no corvane-send at $SEND (build the corvane-send target)" >&2; exit 2; }

WORK=$(mktemp -d /tmp/bench_transfer.XXXXXX)
SOCAT_PID=
cleanup() {
    [ -n "$SOCAT_PID" ] && kill "$SOCAT_PID" 2>/dev/null
    rm -rf "$WORK"
}
trap cleanup EXIT

FILE=$WORK/payload.bin
head -c $((MB * 1048576)) /dev/urandom >"$FILE"
BYTES=$(stat -c %s "$FILE")

# The sender's end is one pty (A). The receiver reads one pty (Bin) and writes
# another (Bout): lrzsz receivers flush their input tty both ways on exit,
# which on a single pty can discard their own last ACK before socat passed it.
start_link() {
    rm -f "$WORK/A" "$WORK/Bin" "$WORK/Bout"
    socat pty,raw,echo=0,link="$WORK/A" "pty,raw,echo=0,link=$WORK/Bout!!pty,raw,echo=0,link=$WORK/Bin" 2>/dev/null &
    SOCAT_PID=$!
    for _ in $(seq 200); do
        [ -e "$WORK/A" ] && [ -e "$WORK/Bin" ] && [ -e "$WORK/Bout" ] && return 0
        sleep 0.02
    done
    echo "socat did not come up" >&2
    exit 1
}

stop_link() {
    kill "$SOCAT_PID" 2>/dev/null
    wait "$SOCAT_PID" 2>/dev/null
    SOCAT_PID=
}

# run_one SENDER_CMD RECEIVER_CMD OUT_NAME -> prints seconds, or FAIL
# The sender starts first (it waits for the receiver's first word); the clock
# runs from the receiver's start until both have exited.
run_one() {
    local sender=$1 receiver=$2 out=$3
    start_link
    rm -rf "$WORK/recv"
    mkdir "$WORK/recv"
    bash -c "$sender" <"$WORK/A" >"$WORK/A" 2>"$WORK/sender.log" &
    local spid=$!
    sleep 0.3
    local t0
    t0=$(date +%s.%N)
    (cd "$WORK/recv" && exec $receiver <"$WORK/Bin" >"$WORK/Bout" 2>"$WORK/receiver.log") &
    local rpid=$!
    wait "$rpid"
    local rrc=$?
    wait "$spid"
    local src=$?
    local t1
    t1=$(date +%s.%N)
    stop_link
    if [ $rrc -ne 0 ] || [ $src -ne 0 ] || ! cmp -s "$FILE" "$WORK/recv/$out"; then
        echo "FAIL(sender=$src receiver=$rrc)"
        return
    fi
    echo "$t0 $t1" | awk '{ printf "%.3f", $2 - $1 }'
}

declare -A TOTAL RATES
PAIRS=${PAIRS:-zmodem xmodem1k ymodem}
for pair in $PAIRS; do TOTAL[$pair.ours]=0; TOTAL[$pair.lrzsz]=0; RATES[$pair.ours]=; RATES[$pair.lrzsz]=; done

median() { tr ' ' '\n' | sed '/^$/d' | sort -g | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

echo "file: $MB MB ($BYTES bytes), rounds: $ROUNDS, corvane-send: $SEND $EXTRA_ARGS"
for round in $(seq "$ROUNDS"); do
    for pair in $PAIRS; do
        case $pair in
            zmodem)
                ours="$SEND -q --protocol zmodem $EXTRA_ARGS $WORK/A $FILE"
                theirs="sz -q $FILE"
                receiver="rz -y -q"
                out=payload.bin ;;
            xmodem1k)
                ours="$SEND -q --protocol xmodem1k $EXTRA_ARGS $WORK/A $FILE"
                theirs="sx -k -q $FILE"
                receiver="rx -c -q -t 10 payload.bin"
                out=payload.bin ;;
            ymodem)
                ours="$SEND -q --protocol ymodem $EXTRA_ARGS $WORK/A $FILE"
                theirs="sb -q $FILE"
                receiver="rb -y -q -t 10"
                out=payload.bin ;;
        esac
        # Alternate who goes first from round to round.
        if [ $((round % 2)) -eq 1 ]; then order="ours lrzsz"; else order="lrzsz ours"; fi
        for who in $order; do
            if [ "$who" = ours ]; then
                # corvane-send opens the port itself: no redirection needed.
                secs=$(run_one "exec $ours </dev/null >/dev/null" "$receiver" "$out")
            else
                secs=$(run_one "exec $theirs" "$receiver" "$out")
            fi
            if [[ $secs == FAIL* ]]; then
                echo "round $round  $pair  $who: $secs" >&2
                echo "  sender log: $(tail -c 300 "$WORK/sender.log" | tr '\r\n' '  ')" >&2
                echo "  receiver log: $(tail -c 300 "$WORK/receiver.log" | tr '\r\n' '  ')" >&2
                exit 1
            fi
            rate=$(awk -v b="$BYTES" -v s="$secs" 'BEGIN { printf "%.2f", b / 1048576 / s }')
            printf 'round %d  %-8s  %-5s  %8.3f s  %7.2f MB/s\n' "$round" "$pair" "$who" "$secs" "$rate"
            TOTAL[$pair.$who]=$(awk -v a="${TOTAL[$pair.$who]}" -v s="$secs" 'BEGIN { print a + s }')
            RATES[$pair.$who]="${RATES[$pair.$who]} $rate"
        done
    done
done

echo
printf '%-8s  %12s  %12s  %12s\n' pair "ours MB/s" "lrzsz MB/s" "ours/lrzsz"
for pair in $PAIRS; do
    awk -v b="$BYTES" -v n="$ROUNDS" -v o="${TOTAL[$pair.ours]}" -v l="${TOTAL[$pair.lrzsz]}" -v p="$pair" \
        'BEGIN { ro = b * n / 1048576 / o; rl = b * n / 1048576 / l; printf "%-8s  %12.2f  %12.2f  %12.2f  (mean)\n", p, ro, rl, ro / rl }'
    mo=$(echo "${RATES[$pair.ours]}" | median)
    ml=$(echo "${RATES[$pair.lrzsz]}" | median)
    awk -v o="$mo" -v l="$ml" -v p="$pair" 'BEGIN { printf "%-8s  %12.2f  %12.2f  %12.2f  (median)\n", p, o, l, o / l }'
done

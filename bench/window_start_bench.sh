#!/usr/bin/env bash
# Start time and idle memory of the window program against the simulated mouse on Xvfb:
# the time from starting the process to the main window's first paint (the program logs
# "First paint"), the time to the end of its start-up work (the device search and the macro
# library have landed and the window goes on: it logs "nDevNum=", on its own time, after
# the paint or before it), and the resident memory 5 s after the start (VmRSS) and its peak
# by then (VmHWM). Each run is a fresh process; prints every run and the medians. A run
# whose window does not paint or whose start-up does not end counts as failed.
#
# usage: bench/window_start_bench.sh [BIN_DIR] [RUNS]   (BIN_DIR: build/bench/bin)
set -uo pipefail
BIN_DIR=$(realpath "${1:-build/bench/bin}")
runs=${2:-5}
source "$(dirname "$0")/../scripts/x_session.sh"

ms_since() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.0f", (b - a) * 1000}'; }
paint=() ready=() rss=() peak=()
for run in $(seq "$runs"); do
    start=$EPOCHREALTIME
    coproc VANTOR { exec "$BIN_DIR/vantor" --simulate 2>&1 >/dev/null; }
    pid=$VANTOR_PID
    exec {out}<&"${VANTOR[0]}"
    ready_at="" paint_at=""
    while IFS= read -r -t 20 -u "$out" line; do
        [[ -z $ready_at && $line == *"nDevNum="* ]] && ready_at=$EPOCHREALTIME
        [[ -z $paint_at && $line == *"First paint"* ]] && paint_at=$EPOCHREALTIME
        [[ -n $ready_at && -n $paint_at ]] && break
    done
    cat <&"$out" >/dev/null &
    sleep "$(awk -v a="$start" -v b="$EPOCHREALTIME" 'BEGIN {d = 5 - (b - a); print (d > 0 ? d : 0)}')"
    kb=$(awk '/^VmRSS/ {print $2}' "/proc/$pid/status" 2>/dev/null)
    hwm=$(awk '/^VmHWM/ {print $2}' "/proc/$pid/status" 2>/dev/null)
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    exec {out}<&-
    if [ -z "$paint_at" ] || [ -z "$ready_at" ] || [ -z "$kb" ]; then
        echo "run $run: failed (first paint: ${paint_at:-none}, start-up done: ${ready_at:-none})" >&2
        failed=1
        continue
    fi
    paint+=("$(ms_since "$start" "$paint_at")")
    ready+=("$(ms_since "$start" "$ready_at")")
    rss+=("$kb") peak+=("$hwm")
    echo "run $run: first paint ${paint[-1]} ms, start-up work done ${ready[-1]} ms," \
        "VmRSS after 5 s $((kb / 1024)) MB ($kb kB), peak $((hwm / 1024)) MB"
done
[ ${#paint[@]} -gt 0 ] || exit 1
echo "median of ${#paint[@]} runs: first paint $(median "${paint[@]}") ms," \
    "start-up work done $(median "${ready[@]}") ms, VmRSS $(($(median "${rss[@]}") / 1024)) MB," \
    "peak $(($(median "${peak[@]}") / 1024)) MB"
exit "${failed:-0}"

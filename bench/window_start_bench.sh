#!/usr/bin/env bash
# Start time and idle memory of the window program against the simulated mouse on Xvfb:
# the time from starting the process to the main window's first paint (the program logs
# "First paint"), the time to the end of its start-up work before the window waits for
# discovery ("RefreshLayout" is its last step), and the resident memory (VmRSS) 5 s after
# the start. Each run is a fresh process; prints every run and the medians.
#
# usage: bench/window_start_bench.sh [BIN_DIR] [RUNS]   (BIN_DIR: build/bench/bin)
set -uo pipefail
BIN_DIR=$(realpath "${1:-build/bench/bin}")
runs=${2:-5}
source "$(dirname "$0")/../scripts/x_session.sh"

ms_since() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.0f", (b - a) * 1000}'; }
paint=() ready=() rss=()
for run in $(seq "$runs"); do
    start=$EPOCHREALTIME
    coproc VANTOR { exec "$BIN_DIR/vantor" --simulate 2>&1 >/dev/null; }
    pid=$VANTOR_PID
    exec {out}<&"${VANTOR[0]}"
    ready_at="" paint_at=""
    while IFS= read -r -t 20 -u "$out" line; do
        [[ -z $ready_at && $line == *"RefreshLayout for"* ]] && ready_at=$EPOCHREALTIME
        if [[ $line == *"First paint"* ]]; then paint_at=$EPOCHREALTIME; break; fi
    done
    cat <&"$out" >/dev/null &
    sleep "$(awk -v a="$start" -v b="$EPOCHREALTIME" 'BEGIN {d = 5 - (b - a); print (d > 0 ? d : 0)}')"
    kb=$(awk '/^VmRSS/ {print $2}' "/proc/$pid/status" 2>/dev/null)
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    exec {out}<&-
    if [ -z "$paint_at" ] || [ -z "$kb" ]; then
        echo "run $run: the window did not paint" >&2
        continue
    fi
    paint+=("$(ms_since "$start" "$paint_at")")
    ready+=("$(ms_since "$start" "${ready_at:-$paint_at}")")
    rss+=("$kb")
    echo "run $run: first paint ${paint[-1]} ms, start-up work done ${ready[-1]} ms, VmRSS after 5 s $((kb / 1024)) MB ($kb kB)"
done
[ ${#paint[@]} -gt 0 ] || exit 1
echo "median of ${#paint[@]} runs: first paint $(median "${paint[@]}") ms," \
    "start-up work done $(median "${ready[@]}") ms, VmRSS $(($(median "${rss[@]}") / 1024)) MB"

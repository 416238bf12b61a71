#!/usr/bin/env bash
# Wake-ups of the idle window program: starts it hidden in the tray (Xvfb with trayer)
# against the simulated mouse, waits until it has read the mouse, then counts the context
# switches of each of its threads over SECONDS (default 60). An idle program should wake
# only for its 30 s battery poll. With --trace it also records the waits of every thread
# for that time with strace (which adds its own switches), to name the wake sources.
#
# usage: bench/window_idle_bench.sh [BIN_DIR] [SECONDS] [--trace]
set -uo pipefail
BIN_DIR=$(realpath "${1:-build/bench/bin}")
seconds=${2:-60}
trace=${3:-}
X_SESSION_TRAY=1
source "$(dirname "$0")/../scripts/x_session.sh"

"$BIN_DIR/vantor" --simulate --tray >"$work/vantor.out" 2>&1 &
pid=$!
pids+=("$pid")
for _ in $(seq 100); do grep -q "OnSyncOk" "$work/vantor.out" && break; sleep 0.1; done
grep -q "OnSyncOk" "$work/vantor.out" || { echo "the program did not read the mouse" >&2; exit 1; }
sleep 2
kill -0 "$pid" 2>/dev/null || { echo "the program ended:" >&2; tail -5 "$work/vantor.out" >&2; exit 1; }

# tid name voluntary nonvoluntary, one line per thread
switches() {
    for task in /proc/"$pid"/task/*; do
        awk -v tid="${task##*/}" -v name="$(tr ' ' _ <"$task/comm" 2>/dev/null)" \
            '/^voluntary_ctxt_switches/ {v = $2} /^nonvoluntary_ctxt_switches/ {n = $2}
             END {print tid, name, v, n}' "$task/status" 2>/dev/null
    done | sort
}
switches >"$work/before"
lines_before=$(grep -c . "$work/vantor.out")
if [ "$trace" = --trace ]; then
    timeout "$seconds" strace -f -tt -p "$pid" -o "$work/strace" 2>/dev/null
else
    sleep "$seconds"
fi
switches >"$work/after"
echo "context switches over $seconds s (thread: voluntary + nonvoluntary):"
join "$work/before" "$work/after" | awk '{
    v = $6 - $3; n = $7 - $4; total += v + n
    printf "  %-8s %-16s %6d + %d\n", $1, $2, v, n } END { print "  total", total }'
echo "log lines while idle (from the battery poll only, when nothing else wakes):" \
    "$(($(grep -c . "$work/vantor.out") - lines_before))"
if [ -f "$work/strace" ]; then
    echo "waits per thread (strace):"
    grep -E 'poll|futex|nanosleep|epoll|select' "$work/strace" | grep -v resumed |
        awk '{print $1, $3}' | sed 's/(.*//' | sort | uniq -c | sort -rn | head -20
    cp "$work/strace" /tmp/vantor-idle.strace && echo "(full trace: /tmp/vantor-idle.strace)"
fi

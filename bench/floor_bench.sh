#!/usr/bin/env bash
# The window program against the floor: `vantor --simulate` and `bare_qt_window` (one label
# in a window of the same size, Qt alone) run side by side in one session on Xvfb with a
# tray host, each start a fresh process with fresh folders, the two programs taking turns.
# Per round and program:
#   map      ms from starting the process to the MapNotify of its first window (X events
#            of the root window, read by xev)
#   rest     VmRSS 5 s after the first map, and the peak VmHWM by then
#   pages    vantor only: VmRSS after its four pages were opened once (clicks on the
#            navigation buttons), 2 s after the last click
# Then, once per state, the wake-ups (context switches of every thread, voluntary and
# not) over IDLE_SECONDS: the bare window shown; vantor shown on each of its four pages
# with the mouse quiet; vantor hidden in the tray. Prints medians and the ratios to the
# floor, and a line "FAIL ..." for each figure above its goal (exit status 1 then):
# first map and rest at most 1.25x the floor, pages at most 1.4x, at most 2 wake-ups per
# minute in every idle state.
#
# usage: bench/floor_bench.sh [BIN_DIR] [ROUNDS] [IDLE_SECONDS]   (build/bench/bin 7 60)
set -uo pipefail
BIN_DIR=$(realpath "${1:-build/bench/bin}")
rounds=${2:-7}
idle_seconds=${3:-60}
for tool in Xvfb xev xdotool trayer; do
    command -v "$tool" >/dev/null || { echo "$tool is not installed (scripts/install-deps.sh)" >&2; exit 1; }
done
X_SESSION_TRAY=1
source "$(dirname "$0")/../scripts/x_session.sh"

# Every top-level window mapped on the display, one time stamp a line.
maps="$work/maps"
: >"$maps"
# xev writes an event over two lines: "MapNotify event, ..." and then "... override NO"
# (pop-ups are override YES); the time is taken when the first line arrives.
stdbuf -oL xev -root -event substructure 2>/dev/null | while IFS= read -r line; do
    if [[ $line == MapNotify* ]]; then
        mapped_at=$EPOCHREALTIME
    elif [[ -n ${mapped_at:-} ]]; then
        [[ $line == *"override NO"* ]] && echo "$mapped_at" >>"$maps"
        mapped_at=""
    fi
done &
pids+=($!)
sleep 0.5

rss_kb() { awk -v key="$2:" '$1 == key {print $2}' "/proc/$1/status" 2>/dev/null; }
ms_between() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.1f", (b - a) * 1000}'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2f", (b > 0 ? a / b : 0)}'; }

# A fresh user: no profiles, no macros, no language choice.
fresh_user() {
    rm -rf "$VANTOR_DATA_DIR" "$HOME/.config" "$HOME/.local"
    mkdir -p "$VANTOR_DATA_DIR"
}

# Starts "$@" and waits for its first window; sets started_pid and map_ms.
start_mapped() {
    local seen start
    seen=$(wc -l <"$maps")
    start=$EPOCHREALTIME
    "$@" >"$work/program.out" 2>&1 &
    started_pid=$!
    pids+=("$started_pid")
    map_ms=""
    for _ in $(seq 200); do
        if [ "$(wc -l <"$maps")" -gt "$seen" ]; then
            map_ms=$(ms_between "$start" "$(sed -n "$((seen + 1))p" "$maps")")
            return 0
        fi
        sleep 0.05
    done
    echo "no window mapped: $*" >&2
    return 1
}

stop_started() {
    kill "$started_pid" 2>/dev/null
    wait "$started_pid" 2>/dev/null
}

# Clicks vantor's navigation button n (1 keys, 2 performance, 3 macros, 4 lighting).
open_page() {
    local window
    window=$(xdotool search --onlyvisible --pid "$started_pid" 2>/dev/null | head -1)
    [ -n "$window" ] || return 1
    eval "$(xdotool getwindowgeometry --shell "$window")"
    xdotool mousemove $((X + 25 + ($1 - 1) * 64 + 30)) $((Y + 110 + 24)) click 1
    sleep 0.5
    # The cursor leaves the window, as a user's hand leaves the mouse.
    xdotool mousemove 0 0
}

wait_log() {
    for _ in $(seq 150); do
        grep -q "$1" "$work/program.out" && return 0
        sleep 0.1
    done
    return 1
}

# Context switches of every thread of process $1 so far: "tid count" a line.
switches() {
    for task in /proc/"$1"/task/*; do
        awk -v tid="${task##*/}" '/^(non)?voluntary_ctxt_switches/ {n += $2}
            END {print tid, n + 0}' "$task/status" 2>/dev/null
    done
}
# Wake-ups per minute of process $1 over idle_seconds: the switches of the threads alive at
# the end (a thread started meanwhile counts whole; one that ended is gone from /proc).
wakeups_per_minute() {
    switches "$1" >"$work/before"
    sleep "$idle_seconds"
    switches "$1" >"$work/after"
    awk -v s="$idle_seconds" 'NR == FNR {before[$1] = $2; next} {n += $2 - before[$1]}
        END {printf "%.1f", n * 60 / s}' "$work/before" "$work/after"
}

declare -a bare_map=() bare_rest=() bare_peak=() v_map=() v_rest=() v_peak=() v_pages=()
for round in $(seq "$rounds"); do
    fresh_user
    start_mapped "$BIN_DIR/bare_qt_window" || exit 1
    bare_map+=("$map_ms")
    sleep 5
    bare_rest+=("$(rss_kb "$started_pid" VmRSS)") bare_peak+=("$(rss_kb "$started_pid" VmHWM)")
    stop_started

    fresh_user
    start_mapped "$BIN_DIR/vantor" --simulate || exit 1
    v_map+=("$map_ms")
    sleep 5
    v_rest+=("$(rss_kb "$started_pid" VmRSS)") v_peak+=("$(rss_kb "$started_pid" VmHWM)")
    wait_log "OnSyncOk" || { echo "vantor did not read the mouse" >&2; exit 1; }
    for page in 2 3 4 1; do open_page "$page" || { echo "no vantor window" >&2; exit 1; }; done
    sleep 2
    v_pages+=("$(rss_kb "$started_pid" VmRSS)")
    stop_started
    echo "round $round: map ${bare_map[-1]} / ${v_map[-1]} ms," \
        "rest ${bare_rest[-1]} / ${v_rest[-1]} kB, pages ${v_pages[-1]} kB (bare / vantor)"
done

echo "wake-ups per minute over $idle_seconds s:"
fresh_user
start_mapped "$BIN_DIR/bare_qt_window" || exit 1
sleep 3
wake_bare=$(wakeups_per_minute "$started_pid")
echo "  bare window shown: $wake_bare"
stop_started
fresh_user
start_mapped "$BIN_DIR/vantor" --simulate || exit 1
wait_log "OnSyncOk" || { echo "vantor did not read the mouse" >&2; exit 1; }
declare -a wake_pages=()
for page in 1 2 3 4; do
    open_page "$page" || exit 1
    sleep 3
    wake_pages+=("$(wakeups_per_minute "$started_pid")")
    echo "  vantor shown on page $page: ${wake_pages[-1]}"
done
stop_started
fresh_user
"$BIN_DIR/vantor" --simulate --tray >"$work/program.out" 2>&1 &
started_pid=$!
pids+=("$started_pid")
wait_log "OnSyncOk" || { echo "vantor did not read the mouse" >&2; exit 1; }
sleep 3
wake_tray=$(wakeups_per_minute "$started_pid")
echo "  vantor hidden in the tray: $wake_tray"
stop_started

m_bare_map=$(median "${bare_map[@]}") m_v_map=$(median "${v_map[@]}")
m_bare_rest=$(median "${bare_rest[@]}") m_v_rest=$(median "${v_rest[@]}")
m_v_pages=$(median "${v_pages[@]}")
echo "medians of $rounds rounds (bare / vantor, ratio):"
echo "  first window mapped  $m_bare_map / $m_v_map ms, $(ratio "$m_v_map" "$m_bare_map")x"
echo "  VmRSS at rest        $m_bare_rest / $m_v_rest kB, $(ratio "$m_v_rest" "$m_bare_rest")x" \
    "(peak VmHWM $(median "${bare_peak[@]}") / $(median "${v_peak[@]}") kB)"
echo "  VmRSS, four pages    $m_bare_rest / $m_v_pages kB, $(ratio "$m_v_pages" "$m_bare_rest")x"

status=0
over() { awk -v r="$1" -v g="$2" 'BEGIN {exit !(r > g)}'; }
check() {
    if over "$2" "$3"; then
        echo "FAIL $1: $2 (goal at most $3)"
        status=1
    fi
}
check "first window mapped, ratio" "$(ratio "$m_v_map" "$m_bare_map")" 1.25
check "VmRSS at rest, ratio" "$(ratio "$m_v_rest" "$m_bare_rest")" 1.25
check "VmRSS after the four pages, ratio" "$(ratio "$m_v_pages" "$m_bare_rest")" 1.4
for page in 1 2 3 4; do check "wake-ups per minute on page $page" "${wake_pages[$((page - 1))]}" 2; done
check "wake-ups per minute in the tray" "$wake_tray" 2
exit "$status"

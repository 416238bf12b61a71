#!/usr/bin/env bash
# The window program on SIGTERM and SIGINT ends through its own exit: it saves what it holds
# (CID.dct and mac.dct are written only then) and ends with status 0.
#
# usage: exit_signal_test.sh VANTOR_BINARY PROGRAM_FOLDER
set -uo pipefail

vantor=$1
export VANTOR_PROGRAM_DIR=$2/
export QT_QPA_PLATFORM=offscreen
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
    echo "FAIL: $*" >&2
    [ -f "$work/vantor.log" ] && cat "$work/vantor.log" >&2
    exit 1
}

for signal in TERM INT; do
    data="$work/data-$signal"
    export VANTOR_DATA_DIR=$data
    export XDG_RUNTIME_DIR="$work/run-$signal"
    mkdir -p "$data" "$XDG_RUNTIME_DIR"
    chmod 700 "$XDG_RUNTIME_DIR"
    "$vantor" --simulate >"$work/vantor.log" 2>&1 &
    pid=$!
    # The profile file is written once the mouse has been read.
    for _ in $(seq 600); do
        compgen -G "$data/PRO_*.dct" >/dev/null && break
        kill -0 "$pid" 2>/dev/null || fail "the program ended before it had read the mouse"
        sleep 0.1
    done
    compgen -G "$data/PRO_*.dct" >/dev/null || fail "no profile file after 60 s"
    [ ! -e "$data/CID.dct" ] || fail "CID.dct was written before the exit"
    kill -s "$signal" "$pid"
    for _ in $(seq 300); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    if kill -0 "$pid" 2>/dev/null; then
        kill -KILL "$pid"
        fail "SIG$signal did not end the program"
    fi
    wait "$pid"
    status=$?
    [ "$status" -eq 0 ] || fail "exit status $status after SIG$signal"
    [ "$(stat -c %s "$data/CID.dct" 2>/dev/null)" = 8 ] || fail "no CID.dct after SIG$signal"
    [ -f "$data/mac.dct" ] || fail "no mac.dct after SIG$signal"
    echo "PASS: SIG$signal saved the program's files"
done

#!/usr/bin/env bash
# The window program's exit status when it cannot start: with a program folder that lacks
# its skin it says "Load skins failed." in a message box and, once the user closes it, ends
# with status 1, so a launcher or a service manager sees the failure.
#
# usage: start_failure_test.sh VANTOR_BINARY PROGRAM_FOLDER ARTEFACTS_FOLDER
# Exits 77 (skipped) when the X tools are not installed.
set -uo pipefail

vantor=$1
BIN_DIR=$2
artefacts=$3
for tool in Xvfb xdotool import; do
    command -v "$tool" >/dev/null || {
        echo "SKIP: $tool is not installed (scripts/install-deps.sh installs it)"
        exit 77
    }
done
mkdir -p "$artefacts"
source "$(dirname "$0")/../../scripts/x_session.sh"
rm -f "$program/skins"

"$vantor" --simulate >"$work/vantor.log" 2>&1 &
vantor_pid=$!
box=$(timeout 30 xdotool search --sync --onlyvisible --name '^Error$' | head -n 1)
if [ -z "$box" ]; then
    echo "FAIL: no error message box appeared" >&2
    cat "$work/vantor.log" >&2
    kill "$vantor_pid" 2>/dev/null
    exit 1
fi
import -window root "$artefacts/load-skins-failed.png" 2>/dev/null
xdotool windowactivate --sync "$box" key Return 2>/dev/null || xdotool key Return
for _ in $(seq 100); do kill -0 "$vantor_pid" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$vantor_pid" 2>/dev/null; then
    echo "FAIL: the program still runs after its start failed" >&2
    kill "$vantor_pid"
    exit 1
fi
wait "$vantor_pid"
status=$?
if [ "$status" -ne 1 ]; then
    echo "FAIL: exit status $status after \"Load skins failed.\", expected 1" >&2
    cat "$work/vantor.log" >&2
    exit 1
fi
echo "PASS: a start without skins ends with status 1"

#!/usr/bin/env bash
# The tray as the desktops of today offer it: a StatusNotifierItem on the session bus, as
# Plasma's panel and GNOME's AppIndicator extension show them. On Xvfb without an X tray,
# in a private session bus of its own (dbus-run-session), a stand-in watcher and host
# (status_notifier_host.py) drives the window program through its item and its menu, and
# a stand-in notification service takes its notices (the simulated mouse's battery is low).
#
# usage: status_notifier_test.sh VANTOR_BINARY PROGRAM_FOLDER ARTEFACTS_FOLDER
# Exits 77 (skipped) when the tools are not installed.
set -uo pipefail

vantor=$1
program_src=$2
artefacts=$3
PYTHON3=${PYTHON3:-python3}

for tool in Xvfb xdotool dbus-run-session; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIP: $tool is not installed (scripts/install-deps.sh installs it)"
        exit 77
    fi
done
if ! "$PYTHON3" -c 'import gi; gi.require_version("Gio", "2.0")' 2>/dev/null; then
    echo "SKIP: python3-gi is not installed (scripts/install-deps.sh installs it)"
    exit 77
fi

mkdir -p "$artefacts"
BIN_DIR=$program_src X_SESSION_TRAY=0
source "$(dirname "$0")/../../scripts/x_session.sh"
export LSAN_OPTIONS="suppressions=$(cd "$(dirname "$0")" && pwd)/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
unset DBUS_SESSION_BUS_ADDRESS
env -u VANTOR_SIMULATE "$program_src/vantorctl" --simulate --sim-state "$work/sim.bin" \
    sim battery 5 >/dev/null || { echo "FAIL: vantorctl could not set the battery"; exit 1; }

if dbus-run-session -- "$PYTHON3" "$(dirname "$0")/status_notifier_host.py" \
    "$vantor" "$program" "$work/vantor.out" "$work/sim.bin"; then
    echo "1 passed, 0 failed"
else
    import -window root "$artefacts/failure.png" 2>/dev/null
    exit 1
fi

#!/usr/bin/env bash
# The window as assistive tools see it: the test reads the program's accessibility tree
# (AT-SPI, through python3-pyatspi) on a session bus of its own. Every page in every
# language of cfg.ini must give each control a user acts on a role and a name; then a
# setting is changed with the keyboard alone and read back through the tree.
# Arguments: the vantor program, the folder of the built programs, the artefacts folder.
set -uo pipefail
vantor=$1 program_src=$2 artefacts=$3
here=$(cd "$(dirname "$0")" && pwd)
PYTHON3=${PYTHON3:-python3}

if [ -z "${VANTOR_ACCESSIBILITY_BUS:-}" ]; then
    run_session=${DBUS_RUN_SESSION:-dbus-run-session}
    if ! command -v "$run_session" >/dev/null; then
        echo "SKIP: dbus-run-session is not installed (scripts/install-deps.sh installs it)"
        exit 77
    fi
    if ! "$PYTHON3" -c "import pyatspi" 2>/dev/null; then
        echo "SKIP: python3-pyatspi is not installed (scripts/install-deps.sh installs it)"
        exit 77
    fi
    exec env VANTOR_ACCESSIBILITY_BUS=1 "$run_session" -- bash "$0" "$@" 2> >(grep -v "fd limit" >&2)
fi
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
source "$here/x_window_session.sh"

tree() { "$PYTHON3" "$here/atspi_tree.py" "$@"; }
# Keys go to the program's window, which has the keyboard focus.
keys() {
    xdotool windowfocus --sync "$(visible_window)" 2>/dev/null
    xdotool key --delay 80 "$@"
    sleep 0.4
}

languages=$(grep -c '^Lang[0-9]*=' "$program/cfg.ini")
[ "$languages" -ge 1 ] || fail "cfg.ini lists no language"
for ((lang = 0; lang < languages; lang++)); do
    if ((lang > 0)); then
        kill "$vantor_pid"
        wait "$vantor_pid" 2>/dev/null
        printf '[OPT]\nLangIndex=%s\n' "$lang" >"$VANTOR_DATA_DIR/lang.ini"
        start_vantor
    fi
    for page in 1 2 3 4; do
        keys "ctrl+$page"
        tree check "language $((lang + 1)), page $page" || fail "unnamed or role-less controls"
    done
    ok "language $((lang + 1)): every control of the four pages has a role and a name"
done
shot pages_checked

#!/usr/bin/env bash
# The window as assistive tools see it: the test reads the program's accessibility tree
# (AT-SPI, through python3-pyatspi) on a session bus of its own. Every page in every
# language of cfg.ini must give each control a user acts on a role and a name; then a task
# (a DPI level, a recorded macro, a key combination) is done with the keyboard alone and
# read back through the tree.
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
# Keys go to the window that has the keyboard focus: the main window after focus_main, a
# pop-up while it is open.
keys() {
    xdotool key --delay 80 "$@"
    sleep 0.4
}
focus_main() { xdotool windowfocus --sync "$(visible_window)" 2>/dev/null; }

languages=$(grep -c '^Lang[0-9]*=' "$program/cfg.ini")
[ "$languages" -ge 1 ] || fail "cfg.ini lists no language"
for ((lang = 0; lang < languages; lang++)); do
    if ((lang > 0)); then
        kill "$vantor_pid"
        wait "$vantor_pid" 2>/dev/null
        printf '[OPT]\nLangIndex=%s\n' "$lang" >"$VANTOR_DATA_DIR/lang.ini"
        start_vantor
    fi
    focus_main
    for page in 1 2 3 4; do
        keys "ctrl+$page"
        tree check "language $((lang + 1)), page $page" || fail "unnamed or role-less controls"
    done
    ok "language $((lang + 1)): every control of the four pages has a role and a name"
done
shot pages_checked

# One task with the keyboard alone, in English: a DPI level, a recorded macro and a key
# combination on a mouse button. Controls are found by their role and name in the tree.
kill "$vantor_pid"
wait "$vantor_pid" 2>/dev/null
printf '[OPT]\nLangIndex=0\n' >"$VANTOR_DATA_DIR/lang.ini"
start_vantor
focus_main
# Presses Tab until the control of role $1 named $2 has the focus.
tab_to() {
    focus_main  # a closed pop-up leaves the keyboard focus nowhere without a window manager
    for _ in $(seq 60); do
        [ "$(tree focused)" = "$1: $2" ] && return 0
        keys Tab
    done
    fail "Tab never reached the $1 '$2' (the focus is on '$(tree focused)')"
}

keys ctrl+2
tab_to slider "DPI 1"
before=$(tree value slider "DPI 1")
keys Right
after=$(tree value slider "DPI 1")
[ "$before" != "$after" ] || fail "the Right key left DPI 1 at $before"
ok "DPI 1 set from $before to $after with the keyboard"

keys ctrl+3
tab_to "push button" "New macro"
keys space
xdotool type --delay 80 "kbd"
keys Return
tab_to "push button" "Record"
keys space
keys a b
keys Escape
tab_to "push button" "Save"
keys space
[ -s "$VANTOR_DATA_DIR/Mac/kbd.qxm" ] || fail "the recorded macro was not saved"
tree find label "Macro saved." >/dev/null || fail "no note confirmed the saved macro"
ok "a macro recorded and saved with the keyboard"

# Button 5 (Forward): in its function list the first Down lands on the first row, "Key
# combination" is the tenth. The key capture window takes Ctrl+C; Tab leads to its OK.
keys ctrl+1
tab_to "push button" "Forward"
keys Return
keys Down Down Down Down Down Down Down Down Down Down Return
keys ctrl+c
for _ in $(seq 8); do
    [ "$(tree focused)" = "push button: OK" ] && break
    keys Tab
done
[ "$(tree focused)" = "push button: OK" ] || fail "Tab never reached the key capture's OK"
keys Return
tree find "push button" "Ctrl + C" >/dev/null || fail "button 5 does not show Ctrl + C"
shot keyboard_task
ok "button 5 assigned Ctrl + C with the keyboard"

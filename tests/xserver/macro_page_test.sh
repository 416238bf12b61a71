#!/usr/bin/env bash
# The macro page on a real X server: makes a new macro, records a short sequence typed
# with xdotool (a modifier and a pause), stops, saves, and checks that the macro file holds
# the presses and releases in order with a delay close to the pause typed.
#
# usage: macro_page_test.sh VANTOR_BINARY PROGRAM_FOLDER ARTEFACTS_FOLDER
# Exits 77 (skipped) when the X tools are not installed.
set -uo pipefail

vantor=$1
program_src=$2
artefacts=$3

source "$(dirname "$0")/x_window_session.sh"

# Page coordinates to screen coordinates (the page area starts at 1,160).
page_click() {
    xdotool mousemove $((X + 1 + $1)) $((Y + 160 + $2)) click 1
    sleep 0.4
}

navi_page 3
shot macro_page

# New macro "typed": the name input takes the keyboard, Enter is OK.
page_click 144 486
xdotool type --delay 50 typed
xdotool key Return
sleep 0.5
shot new_macro

# Record: Shift+A, a pause of 600 ms, then B.
page_click 831 67
xdotool keydown shift keydown a
sleep 0.1
xdotool keyup a keyup shift
sleep 0.6
xdotool key b
sleep 0.3
page_click 831 67
shot recorded

page_click 831 321
sleep 0.5
shot saved

file="$work/data/Mac/typed.qxm"
[ -f "$file" ] || fail "no macro file $file"
python3 - "$file" <<'PY' || fail "macro file content"
import struct, sys
raw = open(sys.argv[1], "rb").read()
data = bytes(((b << 2) | (b >> 6)) & 0xFF for b in raw[:834])
assert struct.unpack_from("<I", data, 0)[0] == 0xFACB99A0, "magic"
events = []
for i in range(91):
    code, kind, delay = struct.unpack_from("<HHI", data, 106 + 8 * i)
    if code == 0 and delay == 0:
        break
    events.append((code, kind, delay))
print("events:", [(hex(c), k, d) for c, k, d in events])
keys = [(c, k) for c, k, _ in events]
want = [(0x10, 1), (0x41, 1), (0x41, 0), (0x10, 0), (0x42, 1), (0x42, 0)]
assert keys == want, f"keys {keys}"
pause = events[3][2]
assert 450 <= pause <= 1200, f"pause {pause}"
assert events[0][2] >= 10 and events[0][2] < 400, f"first delay {events[0][2]}"
PY
ok "recorded macro saved with presses, releases and the pause"

# The button page is not part of this test: the saved macro is assigned with vantorctl
# against the state the program left, which shows the file is a library macro the
# button path accepts and writes into the mouse's macro slot.
vantorctl="$program_src/vantorctl"
if [ ! -x "$vantorctl" ]; then
    echo "note: $vantorctl not built, the assignment step is left out"
    exit 0
fi
xdotool mousemove 1267 783 click 3
sleep 0.5
xdotool key Up Return
for _ in $(seq 100); do kill -0 "$vantor_pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$vantor_pid" 2>/dev/null && fail "the tray menu's exit did not end the program"
[ -s "$work/data/sim.bin" ] || fail "the simulated mouse was not saved on exit"
ctl() { "$vantorctl" --simulate --sim-state "$work/data/sim.bin" --program-dir "$program/" \
    --data-dir "$work/data/" "$@"; }
ctl macros >"$work/macros.out" 2>&1 || fail "vantorctl macros: $(cat "$work/macros.out")"
grep -q "typed" "$work/macros.out" || fail "vantorctl does not list the saved macro"
ctl set button 3 macro:typed >"$work/set.out" 2>&1 || fail "assigning the macro: $(cat "$work/set.out")"
ok "the saved macro is in the library and assigned to button 3 through vantorctl"

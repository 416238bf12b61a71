#!/usr/bin/env bash
# The macro page on a real X server: makes a new macro, records a short sequence typed
# with xdotool (a modifier and a pause), stops, saves, and checks that the macro file holds
# the presses and releases in order with a delay close to the pause typed. The macro then
# goes onto a button through the button page's macro picker, which must leave the mouse as
# vantorctl leaves it for the same macro.
#
# usage: macro_page_test.sh VANTOR_BINARY PROGRAM_FOLDER ARTEFACTS_FOLDER
# Exits 77 (skipped) when the X tools are not installed.
set -uo pipefail

vantor=$1
program_src=$2
artefacts=$3

source "$(dirname "$0")/x_window_session.sh"
source "$(dirname "$0")/key_page_steps.sh"

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
"$PYTHON3" - "$file" <<'PY' || fail "macro file content"
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

# The saved macro goes onto button 3 through the button page: the function menu's "Macro"
# row opens the macro picker, which lists the library. The mouse then holds exactly what
# `vantorctl set button 3 macro:typed` leaves on a copy of the mouse from before.
[ -x "$program_src/vantorctl" ] || fail "$program_src/vantorctl is not built"
restart_keeping_mouse
navi_page 1
open_function_menu 3
choose_menu_item "$menu_macro"
popup=$(wait_popup) || fail "the macro picker did not open"
shot macro_picker
click_popup "$popup" 60 54  # the library's one macro, "typed"
confirm_assignment "$popup" 250 312 0x2  # OK
shot macro_assigned
ok "the saved macro assigned to button 3 through the button page"

same_as_vantorctl 3 macro:typed

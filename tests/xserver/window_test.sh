#!/usr/bin/env bash
# The window program on a real X server: Xvfb with a tray host (trayer), the simulated
# mouse, and xdotool as the user. Checks that the window appears and reads the mouse, the
# navigation buttons change the page, the simulated mouse's menu reaches the program (DPI
# button, unplug and plug), a second start wakes the first, and the tray menu's exit ends
# the program after saving the profile file. Screenshots go to the artefacts folder.
#
# usage: window_test.sh VANTOR_BINARY PROGRAM_FOLDER ARTEFACTS_FOLDER
# Exits 77 (skipped) when the X tools are not installed.
set -uo pipefail

vantor=$1
program_src=$2
artefacts=$3

source "$(dirname "$0")/x_window_session.sh"

# Navigation: each button shows another page.
for navi in 1 2 3 4; do
    navi_page "$navi"
    import -window root -crop "400x200+$((X + 300))+$((Y + 300))" "$work/page$navi.png"
done
for a in 1 2 3 4; do
    for b in 1 2 3 4; do
        [ "$a" -lt "$b" ] || continue
        diff=$(compare -metric AE "$work/page$a.png" "$work/page$b.png" null: 2>&1)
        [ "${diff%% *}" != 0 ] || fail "navi$a and navi$b show the same page"
    done
done
ok "the four navigation buttons show four pages"

# The DPI button of the simulated mouse.
sim_menu_item 0
wait_log "lParam=1" || fail "the DPI button press did not reach the window"
ok "DPI button press reached the window"

# The battery of the simulated mouse drops to the lowest level (10 %): the window asks
# at once and shows the low-battery notice.
xdotool mousemove $((X + 300)) $((Y + 40)) click 3
sleep 0.4
xdotool key Down Right Down Down Down Down Right Down Down Down Down Return
wait_log "GetPower: nPower=0xa, bCharging=0x0" || fail "the battery change did not reach the window"
sleep 0.3
shot low_battery
ok "battery change reached the window"

# Unplug and plug the receiver: the device closes, then it is found and read again.
reads=$(log_count "Init Pro OK")
sim_menu_item 5
wait_log "Device OUT" || fail "no removal"
wait_log "GetVersionNumber, Err=0x48f" || fail "removal did not close the device"
sim_menu_item 5
wait_log "Device IN" || fail "no arrival"
wait_log "Init Pro OK" $((reads + 1)) || fail "the mouse was not read again after plugging it in"
ok "unplug closes the device, plug reads it again"

# A second start wakes the hidden first one.
xdotool mousemove $((X + 952 + 12)) $((Y + 12 + 12)) click 1
wait_hidden || fail "minimise did not hide the window into the tray"
timeout 10 "$vantor" --simulate >"$work/second.out" 2>&1 || fail "the second start did not end by itself"
wait_visible || fail "the second start did not wake the first window"
wait_log "ALREADY_EXISTS" || fail "the second start did not log the running copy"
ok "a second start shows the first window"

# The tray icon's menu: its last entry ends the program, which saves the profile file.
profile_file=$(ls "$VANTOR_DATA_DIR"PRO_*.dct 2>/dev/null | head -1)
[ -n "$profile_file" ] || fail "no profile file was written"
rm -f "$profile_file" "$work/data/sim.bin"
xdotool mousemove 1267 783 click 3
sleep 0.5
shot tray_menu
xdotool key Up Return
for _ in $(seq 100); do kill -0 "$vantor_pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$vantor_pid" 2>/dev/null && fail "the tray menu's exit did not end the program"
wait "$vantor_pid" || fail "the program ended with an error"
wait_log "OnExit" || fail "no exit steps"
[ "$(stat -c %s "$profile_file" 2>/dev/null)" = 8468 ] || fail "the profile file was not saved on exit"
[ -s "$work/data/sim.bin" ] || fail "the simulated mouse was not saved on exit"
ok "tray menu exit ends the program and saves the profile file"
echo "1 passed, 0 failed"

#!/usr/bin/env bash
# The button page on a real X server against the simulated mouse: a click on button 4 opens
# the function menu, "Key combination" opens the key capture, Ctrl+Shift+K typed with
# xdotool and OK assign the combination, and the mouse's memory then holds exactly what
# `vantorctl set button 4 key:ctrl+shift+k` leaves on a copy of the mouse from before.
#
# usage: key_page_test.sh VANTOR_BINARY PROGRAM_FOLDER ARTEFACTS_FOLDER
# Exits 77 (skipped) when the X tools are not installed.
set -uo pipefail

vantor=$1
program_src=$2
artefacts=$3

source "$(dirname "$0")/x_window_session.sh"
source "$(dirname "$0")/key_page_steps.sh"

[ -x "$program_src/vantorctl" ] || fail "$program_src/vantorctl is not built"

# The mouse as the assignment finds it: saved by one run of the program, which then starts
# again on it.
restart_keeping_mouse

navi_page 1
shot key_page
open_function_menu 4
shot function_menu
choose_menu_item "$menu_key_combination"
popup=$(wait_popup) || fail "the key capture did not open"
xdotool key ctrl+shift+k
sleep 0.3
shot key_capture
confirm_assignment "$popup" 176 123 0x3  # OK
shot assigned
ok "Ctrl+Shift+K assigned to button 4 through the key capture"

same_as_vantorctl 4 key:ctrl+shift+k

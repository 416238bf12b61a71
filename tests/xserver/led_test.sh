#!/usr/bin/env bash
# The lighting page on a real X server against the simulated mouse: the page shows, an
# effect chosen from the effect box reaches the mouse's memory, a brightness change made
# with the mouse's lighting key moves the page's brightness slider, and a preset colour
# click changes the colour. Screenshots go to the artefacts folder.
#
# usage: led_test.sh VANTOR_BINARY PROGRAM_FOLDER ARTEFACTS_FOLDER [LANG_INDEX]
set -uo pipefail

vantor=$1
program_src=$2
artefacts=$3
lang_index=${4:-}

source "$(dirname "$0")/x_window_session.sh"

page_x=$((X + 1))
page_y=$((Y + 160))
crop() { import -window root -crop "$3x$4+$((page_x + $1))+$((page_y + $2))" "$work/$5.png"; }
differs() {
    local d
    d=$(compare -metric AE "$work/$1.png" "$work/$2.png" null: 2>&1)
    [ "${d%% *}" != 0 ]
}

navi_page 4
shot led_page
ok "lighting page shown"

# The mouse's lighting key: the brightness step of the main light goes up by one and the
# page's brightness slider follows.
crop 558 356 320 30 slider_before
xdotool mousemove $((X + 300)) $((Y + 40)) click 3
sleep 0.4
xdotool key Down Right Down Down Right Return
wait_log "lParam=4" || fail "the lighting key did not reach the window"
sleep 0.5
crop 558 356 320 30 slider_after
differs slider_before slider_after || fail "the brightness slider did not follow the mouse"
shot led_after_key
ok "lighting key on the mouse moves the brightness slider"

pixel() { convert "$work/$1.png" -format "%[pixel:p{$2,$3}]" info:; }

# The effect box: open it and choose the first effect (static, with a colour); the colour
# controls appear.
xdotool mousemove $((page_x + 130 + 70)) $((page_y + 60 + 15)) click 1
sleep 0.5
shot led_effect_list
xdotool mousemove $((page_x + 160)) $((page_y + 101)) click 1
sleep 0.5
shot led_static
ok "effect chosen from the effect box"

# A preset colour (the first cell, red): the colour button turns red.
xdotool mousemove $((page_x + 100 + 11)) $((page_y + 412 + 11)) click 1
sleep 0.8
crop 80 127 30 30 result
[ "$(pixel result 15 15)" = "srgb(255,0,0)" ] || fail "the colour button is $(pixel result 15 15), not red"
shot led_red
ok "preset colour clicked"



# The logo light: its own effect and values; the main light's come back with its button.
xdotool mousemove $((page_x + 320 + 150 + 10 + 75)) $((page_y + 7 + 13)) click 1
sleep 0.5
crop 60 40 440 60 logo_controls
shot led_logo
xdotool mousemove $((page_x + 320 + 75)) $((page_y + 7 + 13)) click 1
sleep 0.5
crop 80 127 30 30 result_again
[ "$(pixel result_again 15 15)" = "srgb(255,0,0)" ] || fail "the main light's colour did not come back"
ok "light selector switches between the main and the logo light"

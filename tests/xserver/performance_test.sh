#!/usr/bin/env bash
# The performance page on a real X server against the simulated mouse, in English and in
# German: the page shows, a click on a report-rate button and on the ripple box reach the
# mouse through the apply worker, and a click on a level row moves that level. Screenshots
# of both languages go to the artefacts folder.
#
# usage: performance_test.sh VANTOR_BINARY PROGRAM_FOLDER ARTEFACTS_FOLDER
# Exits 77 (skipped) when the X tools are not installed.
set -uo pipefail

vantor=$1
program_src=$2
artefacts=$3
lang_index=${lang_index:-0}
shot_name=${shot_name:-performance_en}

source "$(dirname "$0")/x_window_session.sh"

# The page area starts at (1, 160) of the window.
page_click() { xdotool mousemove $((X + 1 + $1)) $((Y + 160 + $2)) click 1; sleep 0.5; }

navi_page 2
shot "$shot_name"
ok "performance page shown"

page_click 938 79  # the first report-rate button: 125 Hz
wait_log "nFlag=0x20, nData=0x0" || fail "the report-rate button wrote nothing"
ok "report rate written"

page_click 794 441  # the ripple box
wait_log "nFlag=0x800, nData=0x0" || fail "the ripple box wrote nothing"
ok "ripple written"

page_click 600 74  # the track of level 1, right of its thumb
wait_log "nFlag=0x4, nData=0x0" || fail "a click on level 1's track wrote nothing"
ok "level 1 written"
shot "${shot_name}_changed"

if [ "$lang_index" = 0 ]; then
    # The same page in German.
    cleanup
    trap - EXIT
    lang_index=1 shot_name=performance_de exec bash "$0" "$@"
fi

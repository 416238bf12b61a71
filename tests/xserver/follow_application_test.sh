#!/usr/bin/env bash
# The on-board profile follows the application in front on a real X server: with rules for
# two windows of different classes (and a default profile for the rest), activating the
# windows in turn with xdotool switches the simulated mouse to each one's profile, once per
# change; a damaged rules file is kept aside and nothing switches.
#
# usage: follow_application_test.sh VANTOR_BINARY PROGRAM_FOLDER ARTEFACTS_FOLDER
# Exits 77 (skipped) when the X tools are not installed.
set -uo pipefail

vantor=$1
program_src=$2
artefacts=$3

source "$(dirname "$0")/x_window_session.sh"

# Three windows of their own classes, and the active-window property a window manager keeps.
"$program_src/x_app_windows" Alpha Beta Gamma >"$work/windows.txt" 2>&1 &
pids+=($!)
for _ in $(seq 50); do [ "$(wc -l <"$work/windows.txt")" -ge 3 ] && break; sleep 0.1; done
window_of() { awk -v c="$1" '$1 == c {print $2}' "$work/windows.txt"; }
[ -n "$(window_of Gamma)" ] || fail "the test windows did not appear: $(cat "$work/windows.txt")"

rules() { "$program_src/vantorctl" --program-dir "$program/" --data-dir "$work/data/" rules "$@"; }
rules add Alpha 3 && rules add beta 2 && rules default 1 && rules on || fail "rules not written"
# The window reads the rules at its start.
exit_vantor
start_vantor
wait_log "Rules: following the application in front" || fail "the rules were not taken"

# Activates the window of class $1 and waits until the mouse reports profile $2 (1-4) in a
# read after the switch.
expect_profile() {
    local index=$(($2 - 1)) reads
    reads=$(log_count "Mouse profile is $index")
    xdotool windowactivate --sync "$(window_of "$1")" || fail "$1 could not be activated"
    wait_log "Mouse profile is $index" $((reads + 1)) || fail "$1 in front: the mouse did not take profile $2"
    ok "$1 in front: profile $2"
}
expect_profile Beta 2   # the rule's class in another letter case
expect_profile Alpha 3
expect_profile Gamma 1  # no rule: the default profile
expect_profile Beta 2

# The same application again is no change: no second switch.
switches=$(log_count "Rules: on-board profile")
xdotool windowactivate --sync "$(window_of Alpha)"
xdotool windowactivate --sync "$(window_of Alpha)"
wait_log "Mouse profile is 2" 2 || fail "Alpha again: no switch"
sleep 1
[ "$(log_count "Rules: on-board profile")" = $((switches + 1)) ] || fail "one change switched more than once"
ok "one switch per change"
shot follow_application

# The rules editor opens from the link beside the page buttons and offers the running
# applications; switches wait while it is open.
xdotool mousemove $((X + 330)) $((Y + 143)) click 1
editor=""
for _ in $(seq 50); do
    editor=$(xdotool search --onlyvisible --name "^Application profiles\$" 2>/dev/null | head -1)
    [ -n "$editor" ] && break
    sleep 0.1
done
[ -n "$editor" ] || fail "the rules editor did not open"
shot rules_editor
switches=$(log_count "Rules: on-board profile")
reads=$(log_count "Mouse profile is 0")
xdotool windowactivate --sync "$(window_of Gamma)"
wait_log "waits for the editing to end" || fail "a switch did not wait for the open editor"
[ "$(log_count "Rules: on-board profile")" = "$switches" ] || fail "a switch did not wait for the open editor"
xdotool windowfocus --sync "$editor" key Escape
wait_log "Mouse profile is 0" $((reads + 1)) || fail "the waiting switch was not made when the editor closed"
[ -z "$(xdotool search --onlyvisible --name "^Application profiles\$" 2>/dev/null)" ] ||
    fail "Escape did not close the rules editor"
ok "rules editor shown; the switch waited until it closed"
reads=$(log_count "Mouse profile is 2")
xdotool windowactivate --sync "$(window_of Alpha)"
wait_log "Mouse profile is 2" $((reads + 1)) || fail "Alpha after the editor: no switch"

exit_vantor
vantorctl_on "$work/data/sim.bin" info >"$work/info.out" 2>&1 || fail "vantorctl info failed"
grep -q "active profile: 3" "$work/info.out" || fail "the mouse did not keep profile 3: $(cat "$work/info.out")"
ok "the simulated mouse kept profile 3"

# A damaged rules file: refused, kept aside, and nothing follows.
printf 'enabled yes\nrule 9 Alpha\n' >"$work/data/app_rules.txt"
start_vantor
wait_log "app_rules.txt is damaged (line 2" || fail "the damaged rules file was not refused"
[ -f "$work/data/app_rules.txt.damaged" ] || fail "the damaged rules file was not kept"
switches=$(log_count "Rules: on-board profile")
xdotool windowactivate --sync "$(window_of Beta)"
sleep 1
[ "$(log_count "Rules: on-board profile")" = "$switches" ] || fail "a damaged file's rules switched"
ok "damaged rules file kept aside, nothing switched"

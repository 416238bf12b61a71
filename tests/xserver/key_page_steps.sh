# Steps on the button page shared by the X-server tests; source after x_window_session.sh.
# Positions are those of the shipped skin and cfg.ini (ptKey 72,77; KEYH 10; page area at
# 1,160 of the window).

# Rows of the function menu of the first device model, counted from 0.
menu_key_combination=9
menu_macro=11

# Page coordinates to screen coordinates.
page_click() {
    xdotool mousemove $((X + 1 + $1)) $((Y + 160 + $2)) click 1
    sleep 0.5
}

# Opens the function menu of mouse button `n` (1-based); the menu opens under the button.
open_function_menu() {
    menu_top=$((77 + $1 * 29 - 10))
    page_click 183 $((menu_top - 10))
}

# Clicks row `index` of the open function menu (rows of 20 pixels).
choose_menu_item() {
    page_click 183 $((menu_top + 11 + $1 * 20))
}

# Waits for a skinned pop-up window and prints its id.
wait_popup() {
    local id
    for _ in $(seq 50); do
        id=$(xdotool search --onlyvisible --name '^VantorMsgTopWindow$' 2>/dev/null | tail -1)
        if [ -n "$id" ]; then
            echo "$id"
            return 0
        fi
        sleep 0.1
    done
    return 1
}

# Clicks the pop-up window `id` at `x`,`y` of the window.
click_popup() {
    local X Y WIDTH HEIGHT SCREEN WINDOW
    eval "$(xdotool getwindowgeometry --shell "$1")"
    xdotool mousemove $((X + $2)) $((Y + $3)) click 1
    sleep 0.5
}

# Clicks `x`,`y` (the OK button) of pop-up `id` and waits until the button assignment it
# confirms (write flag nData=`kind`) has been written to the mouse.
confirm_assignment() {
    local applied
    applied=$(log_count "Apply Over")
    click_popup "$1" "$2" "$3"
    wait_log "nFlag=0x1, nData=$4" || fail "the assignment was not written to the mouse"
    wait_log "Apply Over" $((applied + 1)) || fail "the write did not end"
}

# Ends the program and checks that the mouse holds what `vantorctl set button ARGS...`
# leaves on the copy of the mouse kept in $work/before.bin.
same_as_vantorctl() {
    exit_vantor
    cp "$work/before.bin" "$work/ctl.bin"
    vantorctl_on "$work/ctl.bin" set button "$@" >"$work/set.out" 2>&1 ||
        fail "vantorctl set button: $(cat "$work/set.out")"
    same_mouse "$work/ctl.bin" "$work/data/sim.bin" \
        "the mouse differs from what vantorctl set button $* leaves"
    ok "the mouse holds what vantorctl set button $* leaves"
}

# Ends the program, keeps the mouse it saved as $work/before.bin and starts it again on it.
restart_keeping_mouse() {
    exit_vantor
    cp "$work/data/sim.bin" "$work/before.bin"
    start_vantor
}

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

# Shared by the window benchmarks and the X-server tests: a work folder, a program folder
# of the built one with the diagnostic log on standard error (Debug=1), the user's folders
# inside the work folder, and an Xvfb display (with the tray host trayer when
# X_SESSION_TRAY=1); the screen is 1280x800 unless X_SESSION_SCREEN gives another size.
# Source it with BIN_DIR set to the folder of the built programs.
work=$(mktemp -d)
pids=()
cleanup() {
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[$i]}" 2>/dev/null; done
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

program="$work/program"
mkdir -p "$program"
for entry in "$BIN_DIR"/*; do
    [ "$(basename "$entry")" = cfg.ini ] || ln -s "$(realpath "$entry")" "$program/"
done
sed 's/^Debug=.*/Debug=1/' "$BIN_DIR/cfg.ini" >"$program/cfg.ini"

export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_RUNTIME_DIR="$work/run"
export VANTOR_PROGRAM_DIR="$program/" VANTOR_DATA_DIR="$work/data/"
unset VANTOR_SIMULATE WAYLAND_DISPLAY QT_QPA_PLATFORM
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" "$VANTOR_DATA_DIR"
chmod 700 "$XDG_RUNTIME_DIR"

display=90
while [ -e "/tmp/.X$display-lock" ] || [ -e "/tmp/.X11-unix/X$display" ]; do display=$((display + 1)); done
export DISPLAY=":$display"
Xvfb "$DISPLAY" -screen 0 "${X_SESSION_SCREEN:-1280x800}x24" -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done
if [ "${X_SESSION_TRAY:-0}" = 1 ]; then
    trayer --edge bottom --align right --widthtype pixel --width 120 --height 32 \
        >"$work/trayer.log" 2>&1 &
    pids+=($!)
    sleep 0.5
fi

# The median of the numbers given as arguments.
median() { printf '%s\n' "$@" | sort -g | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}'; }

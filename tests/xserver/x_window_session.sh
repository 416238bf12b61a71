# Shared by the window program's X-server tests: checks the X tools (exit 77 when one is
# missing), makes a work folder with a program folder of the shipped files (diagnostic log
# on), starts Xvfb with the tray host trayer, starts the window program against the
# simulated mouse (state in $work/data/sim.bin) and waits until it shows its window and has
# read the mouse. Leaves X, Y, WIDTH, HEIGHT (the window's geometry), vantor_pid, log and
# the helpers below. Source it with vantor, program_src and artefacts set.
for tool in Xvfb xdotool import compare trayer; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIP: $tool is not installed (scripts/install-deps.sh installs it)"
        exit 77
    fi
done

mkdir -p "$artefacts"
title="Vantor Mouse Center"

BIN_DIR=$program_src X_SESSION_TRAY=1
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/x_session.sh"
# The diagnostic log goes to its file, where the checks read it.
sed 's/^Debug=.*/Debug=2/' "$program_src/cfg.ini" >"$program/cfg.ini"
# Under AddressSanitizer: what the desktop's libraries keep is not the program's leak.
export LSAN_OPTIONS="suppressions=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
mkdir -p "$HOME/Desktop"
# A test may start the program in another language (index into the Lang list of cfg.ini).
if [ -n "${lang_index:-}" ]; then printf '[OPT]\nLangIndex=%s\n' "$lang_index" >"$VANTOR_DATA_DIR/lang.ini"; fi
log="$HOME/Desktop/Log.txt"

shot() { import -window root "$artefacts/$1.png" 2>/dev/null; }
fail() {
    echo "FAIL: $*"
    shot failure
    echo "--- log"
    tr '\r' '\n' <"$log" 2>/dev/null | tail -40
    echo "--- program output"
    tail -40 "$work/vantor.out" 2>/dev/null
    exit 1
}
ok() { echo "ok: $*"; }
log_count() { tr '\r' '\n' <"$log" 2>/dev/null | grep -c -- "$1"; }
# Waits until the log holds `pattern` at least `count` times.
wait_log() {
    local pattern=$1 count=${2:-1}
    for _ in $(seq 150); do
        [ "$(log_count "$pattern")" -ge "$count" ] && return 0
        sleep 0.1
    done
    return 1
}
visible_window() { xdotool search --onlyvisible --name "^$title\$" 2>/dev/null | head -1; }
wait_visible() {
    for _ in $(seq 100); do
        [ -n "$(visible_window)" ] && return 0
        sleep 0.1
    done
    return 1
}
wait_hidden() {
    for _ in $(seq 50); do
        [ -z "$(visible_window)" ] && return 0
        sleep 0.1
    done
    return 1
}
# Clicks navigation button `n` (1 keys, 2 performance, 3 macros, 4 lighting as the skin
# orders them) and waits for the page to show.
navi_page() {
    xdotool mousemove $((X + 25 + ($1 - 1) * 64 + 30)) $((Y + 110 + 24)) click 1
    sleep 0.4
}
# Opens the title area's menu and picks the simulated mouse's item `index` (0-based).
sim_menu_item() {
    xdotool mousemove $((X + 300)) $((Y + 40)) click 3
    sleep 0.4
    xdotool key Down Right
    sleep 0.3
    for ((i = 0; i < $1; i++)); do xdotool key Down; done
    xdotool key Return
    sleep 0.3
}

# lang_index set by the test: the window starts in that language (lang.ini of the data folder).
if [ -n "${lang_index:-}" ]; then printf '[OPT]\nLangIndex=%s\n' "$lang_index" >"$VANTOR_DATA_DIR/lang.ini"; fi

"$vantor" --simulate --sim-state "$work/data/sim.bin" >"$work/vantor.out" 2>&1 &
vantor_pid=$!
pids+=("$vantor_pid")

wait_visible || fail "the window did not appear"
eval "$(xdotool getwindowgeometry --shell "$(visible_window)")"
[ "$WIDTH" = 1020 ] && [ "$HEIGHT" = 700 ] || fail "window is ${WIDTH}x$HEIGHT, not the skin's 1020x700"
ok "window shown at $X,$Y"
wait_log "OnSyncOk" || fail "the mouse was not read"
wait_log "GetPower: nPower=0x64, bCharging=0x0" || fail "no battery report"
ok "mouse read, battery 100 %"
shot window


# Shared by the window program's X-server tests: checks the X tools (exit 77 when one is
# missing), makes a work folder with a program folder of the shipped files (diagnostic log
# on), starts Xvfb with the tray host trayer, starts the window program against the
# simulated mouse (state in $work/data/sim.bin) and waits until it shows its window and has
# read the mouse. Leaves X, Y, WIDTH, HEIGHT (the window's geometry), vantor_pid, log and
# the helpers below (exit_vantor ends the program, start_vantor starts it again). Source it
# with vantor, program_src and artefacts set.
for tool in Xvfb xdotool import compare trayer; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIP: $tool is not installed (scripts/install-deps.sh installs it)"
        exit 77
    fi
done

PYTHON3=${PYTHON3:-python3}
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
log_count() { tr '\r' '\n' 2>/dev/null <"$log" | grep -c -- "$1"; }
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

# Starts the window program against the simulated mouse (state in $work/data/sim.bin) and
# waits until it shows its window and has read the mouse. Sets vantor_pid and X, Y, WIDTH,
# HEIGHT. A test may end the program (exit_vantor) and start it again on the saved mouse.
start_vantor() {
    local reads batteries
    reads=$(log_count "OnSyncOk")
    batteries=$(log_count "GetPower: nPower=0x64, bCharging=0x0")
    "$vantor" --simulate --sim-state "$work/data/sim.bin" >>"$work/vantor.out" 2>&1 &
    vantor_pid=$!
    pids+=("$vantor_pid")
    wait_visible || fail "the window did not appear"
    eval "$(xdotool getwindowgeometry --shell "$(visible_window)")"
    [ "$WIDTH" = 1020 ] && [ "$HEIGHT" = 700 ] || fail "window is ${WIDTH}x$HEIGHT, not the skin's 1020x700"
    ok "window shown at $X,$Y"
    wait_log "OnSyncOk" $((reads + 1)) || fail "the mouse was not read"
    wait_log "GetPower: nPower=0x64, bCharging=0x0" $((batteries + 1)) || fail "no battery report"
    ok "mouse read, battery 100 %"
}

# Ends the program through the tray menu's exit and waits until it has gone; the simulated
# mouse is then saved in $work/data/sim.bin.
exit_vantor() {
    # The program read the file at its start; what is there after the exit is its save.
    rm -f "$work/data/sim.bin"
    xdotool mousemove 1267 783 click 3
    sleep 0.5
    xdotool key Up Return
    for _ in $(seq 100); do kill -0 "$vantor_pid" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$vantor_pid" 2>/dev/null && fail "the tray menu's exit did not end the program"
    [ -s "$work/data/sim.bin" ] || fail "the simulated mouse was not saved on exit"
}

# Runs vantorctl on the simulated mouse saved in the state file $1 (the file holds the
# mouse afterwards), with the program's and the data folder of the test.
vantorctl_on() {
    local state=$1
    shift
    env -u VANTOR_SIMULATE "$program_src/vantorctl" --simulate --sim-state "$state" \
        --program-dir "$program/" --data-dir "$work/data/" "$@"
}
# Fails unless the two state files of the simulated mouse hold the same mouse; names the
# device memory bytes that differ (profile, address, the two values).
same_mouse() {
    "$PYTHON3" - "$1" "$2" <<'PY' || fail "$3"
import sys
a, b = (open(p, "rb").read() for p in sys.argv[1:3])
if a == b:
    sys.exit(0)
if len(a) != len(b) or a[:16] != b[:16]:
    print("state headers differ:", a[:16].hex(), b[:16].hex())
    sys.exit(1)
size = (len(a) - 16) // 4
diffs = [i for i in range(16, len(a)) if a[i] != b[i]]
for i in diffs[:20]:
    print(f"profile {(i - 16) // size} address 0x{(i - 16) % size:04x}: {a[i]:02x} != {b[i]:02x}")
print(len(diffs), "bytes differ")
sys.exit(1)
PY
}

start_vantor
shot window

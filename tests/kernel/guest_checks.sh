#!/bin/sh
# Runs inside the test guest (busybox sh) after hid, hid-generic and uhid are loaded:
# starts the simulated mouse behind /dev/uhid and checks the hidraw backend, discovery and
# vantorctl against the real kernel. Prints "check NAME: ok|FAILED" per check, indented
# details of failures, and one closing line "VANTOR-GUEST-RESULT: PASS|FAIL ...".

passed=0
failed=0
control=/run/bridge.ctl
export VANTOR_DATA_DIR=/tmp/vantor-data

ok() { passed=$((passed + 1)); echo "check $1: ok"; }
bad() {
    failed=$((failed + 1))
    echo "check $1: FAILED"
    shift
    [ $# -gt 0 ] && printf '%s\n' "$@" | sed 's/^/  /'
    return 0
}

# expect NAME PATTERN COMMAND...: the command exits 0 and its output matches PATTERN
# (an extended regular expression).
expect() {
    name=$1 pattern=$2
    shift 2
    out=$("$@" 2>&1)
    status=$?
    if [ $status -eq 0 ] && printf '%s\n' "$out" | grep -Eq "$pattern"; then
        ok "$name"
    else
        bad "$name" "command: $*" "exit $status, wanted /$pattern/" "$out"
    fi
}

node_count() { ls /dev/hidraw* 2>/dev/null | wc -l; }

# wait_for SECONDS COMMAND...: polls every 0.1 s until the command succeeds.
wait_for() {
    tenths=$(($1 * 10))
    shift
    while [ $tenths -gt 0 ]; do
        "$@" && return 0
        sleep 0.1
        tenths=$((tenths - 1))
    done
    return 1
}
nodes_are() { [ "$(node_count)" -eq "$1" ]; }
# Writing to the FIFO blocks while nobody reads it, so a dead bridge cannot hang the guest.
bridge() { timeout 5 sh -c "echo $1 >$control" || echo "  bridge did not take '$1'"; }

# --- the bridge ----------------------------------------------------------------------------
mkfifo "$control"
uhid-bridge --control "$control" >/tmp/bridge.log 2>&1 &
bridge_pid=$!
if wait_for 10 nodes_are 3; then
    ok "three hidraw nodes"
else
    bad "three hidraw nodes" "$(cat /tmp/bridge.log)" "$(ls -l /dev/hidraw* 2>&1)"
fi

# --- hidraw backend ----------------------------------------------------------------------
# Descriptors as the backend parses them from sysfs: command, notification, boot mouse.
list=$(vantor-hidraw-probe enumerate 2>&1)
for want in \
    '25a7:fa70 page=ff02 usage=0002 in=0 out=0 feature=17 id=8' \
    '25a7:fa70 page=ff01 usage=0000 in=17 out=0 feature=0 id=9' \
    '25a7:fa70 page=0001 usage=0002 in=5 out=0 feature=0 id=0'; do
    if printf '%s\n' "$list" | grep -q "$want"; then
        ok "enumerate $want"
    else
        bad "enumerate $want" "$list"
    fi
done

# One raw exchange: the command report with its check byte goes out as a feature report,
# the reply comes back as input report 9 echoing the command with status 0 and the
# connection status 1.
expect "raw exchange" \
    '^reply: 09 03 00 00 00 00 01' \
    vantor-hidraw-probe exchange

# --- hot-plug from kernel events ---------------------------------------------------------
vantor-hidraw-probe watch 20 >/tmp/watch.log 2>&1 &
watch_pid=$!
wait_for 5 grep -q watching /tmp/watch.log
bridge unplug
wait_for 5 nodes_are 0 || bad "unplug removes the nodes" "$(ls /dev/hidraw* 2>&1)"
bridge plug
wait_for 5 nodes_are 3 || bad "plug adds the nodes" "$(cat /tmp/bridge.log)"
removed() { [ "$(grep -c '^removed /dev/hidraw[0-9]* 25a7:fa70' /tmp/watch.log)" -eq 3 ]; }
arrived() { [ "$(grep -c '^arrived /dev/hidraw[0-9]* 25a7:fa70' /tmp/watch.log)" -eq 3 ]; }
if wait_for 5 removed && wait_for 5 arrived; then
    ok "monitor reports removal and arrival"
else
    bad "monitor reports removal and arrival" "$(cat /tmp/watch.log)"
fi
kill "$watch_pid" 2>/dev/null

# --- end --------------------------------------------------------------------------------
bridge quit
wait "$bridge_pid"
if [ $failed -eq 0 ]; then
    echo "VANTOR-GUEST-RESULT: PASS $passed checks"
else
    echo "VANTOR-GUEST-RESULT: FAIL $failed of $((passed + failed)) checks"
fi

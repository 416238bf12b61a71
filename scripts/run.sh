#!/usr/bin/env bash
# Installs what building and running need (no test tools), builds the programs without the
# tests, and starts the window program against the simulated mouse when there is a display.
# Without one it says so and shows the simulated mouse through vantorctl: its identity and
# battery, then the active profile. With arguments, runs that vantorctl command against the
# same simulated mouse instead (e.g. scripts/run.sh set rate 500).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh run
cmake --preset run
cmake --build --preset run -j "$(nproc)"

# The simulated mouse keeps its memory in the per-user data folder between runs.
data_dir="${VANTOR_DATA_DIR:-${XDG_DATA_HOME:-$HOME/.local/share}/Vantor}"
mkdir -p "$data_dir"
state=(--simulate --sim-state "$data_dir/sim-state.bin")
ctl=(build/run/bin/vantorctl "${state[@]}")
if [ "$#" -gt 0 ]; then
    exec "${ctl[@]}" "$@"
fi
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    exec build/run/bin/vantor "${state[@]}"
fi
echo "No display (DISPLAY and WAYLAND_DISPLAY are unset): showing the simulated mouse in the terminal."
"${ctl[@]}" info
echo
exec "${ctl[@]}" read

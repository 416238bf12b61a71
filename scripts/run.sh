#!/usr/bin/env bash
# Installs what building and running need (no test tools), builds the programs without the
# tests, and starts the program against the simulated mouse.
# Until the window program exists this shows the simulated mouse through vantorctl: its
# identity and battery, then the active profile. With arguments, runs that vantorctl
# command against the same simulated mouse instead (e.g. scripts/run.sh set rate 500).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh run
cmake --preset run
cmake --build --preset run -j "$(nproc)"

# The simulated mouse keeps its memory in the per-user data folder between runs.
data_dir="${VANTOR_DATA_DIR:-${XDG_DATA_HOME:-$HOME/.local/share}/Vantor}"
mkdir -p "$data_dir"
ctl=(build/run/bin/vantorctl --simulate --sim-state "$data_dir/sim-state.bin")
if [ "$#" -gt 0 ]; then
    exec "${ctl[@]}" "$@"
fi
"${ctl[@]}" info
echo
exec "${ctl[@]}" read

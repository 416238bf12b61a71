#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program against the simulated mouse.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset default
cmake --build --preset default -j "$(nproc)"
exec build/default/bin/vantorctl "$@"

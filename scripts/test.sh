#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test: the normal build, the checks
# of the Debian package and of the install, the libFuzzer targets for a short while each,
# the threaded tests under ThreadSanitizer and all tests under AddressSanitizer +
# UndefinedBehaviorSanitizer. Fails on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh test
jobs=$(nproc)
fuzz_seconds=${VANTOR_FUZZ_SECONDS:-20}

step() { printf '\n==== %s\n' "$*"; }

step "layers: every include points down"
scripts/check-layers.sh

step "dependencies: everything the build looks up comes from the install lists"
scripts/check-deps.sh

step "normal build (warnings are errors)"
cmake --preset default
cmake --build --preset default -j "$jobs"
ctest --preset default -j "$jobs"

step "Debian package, desktop files, man pages, install under a prefix"
scripts/check-package.sh build/default

step "fuzz targets (${fuzz_seconds}s each)"
cmake --preset fuzz
cmake --build --preset fuzz -j "$jobs"
for target in build/fuzz/bin/*_fuzz; do
    [ -x "$target" ] || continue
    name=$(basename "$target")
    corpus=$(mktemp -d)
    [ -d "fuzz/corpus/$name" ] && cp -r "fuzz/corpus/$name/." "$corpus/"
    echo "-- $name"
    "$target" -max_total_time="$fuzz_seconds" -timeout=10 -rss_limit_mb=4096 \
        -print_final_stats=0 "$corpus" 2>&1 | tail -n 3
    rm -rf "$corpus"
done

step "threaded tests under ThreadSanitizer"
cmake --preset tsan
cmake --build --preset tsan -j "$jobs"
ctest --preset tsan -j "$jobs" --no-tests=ignore

step "all tests under AddressSanitizer + UndefinedBehaviorSanitizer"
cmake --preset asan
cmake --build --preset asan -j "$jobs"
ctest --preset asan -j "$jobs"

#!/usr/bin/env bash
# Fails when a source file includes a header from a layer above its own. Layers, bottom
# first; a folder may include its own layer and every layer below it:
#   0 base/       what every layer uses: log, formatting, texts, INI and XML readers, messages
#   1 platform/   our layer over the operating system
#   2 keys/       key catalogue, macro records and files
#   3 profile/    profile record, memory map, codecs, sensor tables
#   4 device/     HID channel, device commands, discovery, apply worker
#   5 app/        start-up, configuration as loaded, profile store, device session
#   6 sim/        the simulated mouse: a device of its own that never includes the program's
#                 keys/, profile/ or device/ code
#   7 controls/, pages/ and every */windows/ and */logic/ subfolder: windows and their rules
#   8 tools/      programs
# tests/, fuzz/ and bench/ may include anything.
set -euo pipefail
cd "$(dirname "$0")/.."

git ls-files -co --exclude-standard -- '*.h' '*.cpp' | grep -Ev '^(tests|fuzz|bench|build)/' |
    xargs awk '
    function layer(path) {
        if (path ~ /\/(windows|logic)\// || path ~ /^(controls|pages)\//) return 7
        if (path ~ /^base\//) return 0
        if (path ~ /^platform\//) return 1
        if (path ~ /^keys\//) return 2
        if (path ~ /^profile\//) return 3
        if (path ~ /^device\//) return 4
        if (path ~ /^app\//) return 5
        if (path ~ /^sim\//) return 6
        if (path ~ /^tools\//) return 8
        return -1
    }
    /^[ \t]*#[ \t]*include[ \t]*"/ {
        header = $0
        sub(/^[^"]*"/, "", header)
        sub(/".*$/, "", header)
        own = layer(FILENAME)
        target = layer(header)
        if (own < 0 || target < 0) next
        if (target > own) {
            printf "%s:%d: includes \"%s\" from a layer above its own\n", FILENAME, FNR, header > "/dev/stderr"
            bad = 1
        } else if (own == 6 && header ~ /^(keys|profile|device)\//) {
            printf "%s:%d: the simulated mouse includes program code \"%s\"\n", FILENAME, FNR, header > "/dev/stderr"
            bad = 1
        }
    }
    END {
        if (bad) exit 1
        print "layers: every include points down"
    }'

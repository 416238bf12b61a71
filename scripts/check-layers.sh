#!/usr/bin/env bash
# Fails when a source file includes a header from a layer above its own, or when Qt is used
# outside the window layer. Layers, bottom first; a folder may include its own layer and
# every layer below it:
#   0 base/       what every layer uses: log, formatting, texts, INI and XML readers, messages
#   1 platform/   our layer over the operating system
#   2 keys/       key catalogue, macro records and files
#   3 profile/    profile record, memory map, codecs, sensor tables
#   4 device/     HID channel, device commands, discovery, apply worker
#   5 app/        configuration, profile store, device session (app/config, app/store,
#                 app/session)
#   6 sim/        the simulated mouse: a device of its own that never includes the program's
#                 keys/, profile/ or device/ code
#   7 ui/widgets/ generic skinned widgets: they include only base/, platform/ and themselves
#   8 ui/popups/  the program's pop-up windows
#   9 ui/pages/   the page interface and the four pages; a page does not include another page
#  10 ui/shell/   main window, battery window, About, tray parts
#  11 tools/      programs
# A logic/ folder holds toolkit-free rules and has the layer of the folder it sits in.
# tests/, fuzz/ and bench/ may include anything.
set -euo pipefail
cd "$(dirname "$0")/.."

files=$(git ls-files -co --exclude-standard -- '*.h' '*.cpp' | grep -Ev '^(tests|fuzz|bench|build)/')

echo "$files" | xargs awk '
    function layer(path) {
        if (path ~ /^base\//) return 0
        if (path ~ /^platform\//) return 1
        if (path ~ /^keys\//) return 2
        if (path ~ /^profile\//) return 3
        if (path ~ /^device\//) return 4
        if (path ~ /^app\//) return 5
        if (path ~ /^sim\//) return 6
        if (path ~ /^ui\/widgets\//) return 7
        if (path ~ /^ui\/popups\//) return 8
        if (path ~ /^ui\/pages\//) return 9
        if (path ~ /^ui\/shell\//) return 10
        if (path ~ /^tools\//) return 11
        return -1
    }
    # The page folder of a path under ui/pages/ ("buttons"), or "" for the page interface.
    function page_of(path,    parts) {
        split(path, parts, "/")
        return (parts[3] ~ /\.(h|cpp)$/) ? "" : parts[3]
    }
    /^[ \t]*#[ \t]*include[ \t]*</ {
        if (FILENAME !~ /^(ui|tools)\// && $0 ~ /<Q[A-Za-z]*>/) {
            printf "%s:%d: Qt outside the window layer\n", FILENAME, FNR > "/dev/stderr"
            bad = 1
        }
        next
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
        } else if (own == 7 && target >= 2 && target <= 6) {
            printf "%s:%d: a generic widget includes program code \"%s\"\n", FILENAME, FNR, header > "/dev/stderr"
            bad = 1
        } else if (own == 9 && target == 9 && page_of(FILENAME) != "" && page_of(header) != "" &&
                   page_of(FILENAME) != page_of(header)) {
            printf "%s:%d: one page includes another page \"%s\"\n", FILENAME, FNR, header > "/dev/stderr"
            bad = 1
        }
    }
    END {
        if (bad) exit 1
        print "layers: every include points down"
    }'

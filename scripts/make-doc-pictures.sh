#!/usr/bin/env bash
# Makes the documentation pictures from the real window program under Xvfb against the
# simulated mouse, once it has read the mouse:
#   make-doc-pictures.sh [BIN_DIR]              docs/main-window.png (README), English, 1280x800
#   make-doc-pictures.sh --all OUT_DIR [BIN_DIR]
#       every page in every language of cfg.ini at 1920x1080 and in the 4K layout at
#       3840x2160, as OUT_DIR/<lang>-<size>-<page>.png, and OUT_DIR/all.png with all of them
#       side by side for a reviewer.
# BIN_DIR is the folder of the built programs (default build/default/bin; scripts/run.sh
# builds build/run/bin). Needs Xvfb, xdotool and imagemagick (scripts/install-deps.sh test).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

all=0
out=
if [ "${1:-}" = "--all" ]; then
    all=1
    out=${2:?usage: make-doc-pictures.sh --all OUT_DIR [BIN_DIR]}
    shift 2
fi
BIN_DIR=$(realpath "${1:-build/default/bin}")
[ -x "$BIN_DIR/vantor" ] || {
    echo "no built window program in $BIN_DIR (cmake --preset default && cmake --build --preset default)" >&2
    exit 1
}
for tool in Xvfb xdotool import montage; do
    command -v "$tool" >/dev/null || {
        echo "$tool is missing: scripts/install-deps.sh test installs it" >&2
        exit 1
    }
done
[ -n "$out" ] && mkdir -p "$out" && out=$(realpath "$out")

pages=(buttons performance macros lighting)
title="Vantor Mouse Center"

# One X session per screen size; the program starts afresh for every language.
session_pictures() {
    local size=$1 langs=$2 scale=1
    [ "$size" = 3840x2160 ] && scale=2
    (
        X_SESSION_SCREEN=$size
        source "$root/scripts/x_session.sh"
        for lang in $langs; do
            local index=${lang%%:*} code=${lang#*:}
            rm -rf "$VANTOR_DATA_DIR" && mkdir -p "$VANTOR_DATA_DIR"
            printf '[OPT]\nLangIndex=%s\n' "$index" >"$VANTOR_DATA_DIR/lang.ini"
            "$BIN_DIR/vantor" --simulate >"$work/vantor.log" 2>&1 &
            local pid=$! window=
            for _ in $(seq 200); do
                window=$(xdotool search --onlyvisible --name "^$title\$" 2>/dev/null | head -n 1) || true
                [ -n "$window" ] && grep -q OnSyncOk "$work/vantor.log" && break
                sleep 0.1
            done
            [ -n "$window" ] || {
                echo "the window did not appear ($code, $size)" >&2
                cat "$work/vantor.log" >&2
                kill "$pid"
                exit 1
            }
            eval "$(xdotool getwindowgeometry --shell "$window")"
            for n in 1 2 3 4; do
                # The page buttons sit in a row below the title area.
                xdotool mousemove $((X + (25 + (n - 1) * 64 + 30) * scale)) $((Y + 134 * scale)) click 1
                xdotool mousemove $((X + 5)) $((Y + HEIGHT - 5))
                sleep 0.8
                if [ "$all" = 1 ]; then
                    import -window "$window" "$out/$code-$size-$n-${pages[$((n - 1))]}.png"
                elif [ "$n" = 1 ]; then
                    import -window "$window" "$root/docs/main-window.png"
                    break
                fi
            done
            kill "$pid"
            wait "$pid" 2>/dev/null || true
        done
    )
}

if [ "$all" = 0 ]; then
    session_pictures 1280x800 0:en
    echo "docs/main-window.png"
    exit 0
fi

langs=$(awk -F'[=,]' '/^Lang[0-9]+=/ {print NR - 1 ":" $3}' "$BIN_DIR/cfg.ini" |
    awk -F: '{print (n++) ":" $2}' | tr '\n' ' ')
session_pictures 1920x1080 "$langs"
session_pictures 3840x2160 "$langs"
montage "$out"/*-1920x1080-*.png -tile 4x -geometry 510x350+4+4 -background '#202020' "$out/all.png"
montage "$out"/*-3840x2160-*.png -tile 4x -geometry 510x350+4+4 -background '#202020' "$out/all-4k.png"
echo "$(find "$out" -name '*-*-*-*.png' | wc -l) pictures in $out; all.png and all-4k.png show them together"

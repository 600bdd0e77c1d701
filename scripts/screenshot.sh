#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 Kalvex developers
#
# SPDX-License-Identifier: MIT

# Takes the picture of the game shown in the README: starts the built game on a
# private Xvfb with no window manager, waits for its window and its first
# frame, grabs the window and checks that the picture is the whole window.
# Builds nothing: pass the built game.
# Usage: scripts/screenshot.sh path/to/kalvex [OUT.png]   (default docs/screenshot.png)
set -euo pipefail
[ $# -ge 1 ] && [ -x "$1" ] || { echo "usage: $0 path/to/kalvex [OUT.png]" >&2; exit 2; }
game=$(realpath "$1")
out=${2:-$(cd "$(dirname "$0")/.." && pwd)/docs/screenshot.png}
# The window's drawing area is fixed: 224 x 384 pixels at scale 1.
want="224x384"
for tool in Xvfb xdotool xwininfo import identify; do
    command -v "$tool" >/dev/null || { echo "missing $tool: scripts/deps.sh installs it" >&2; exit 1; }
done

tmp=$(mktemp -d)
xvfb=""
game_pid=""
cleanup() {
    local status=$?
    for pid in $game_pid $xvfb; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$tmp"
    exit "$status"
}
trap cleanup EXIT

# Xvfb picks a free display and names it on the descriptor it is given.
exec 3>"$tmp/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 2>"$tmp/xvfb.log" &
xvfb=$!
exec 3>&-
for _ in $(seq 100); do
    [ -s "$tmp/display" ] && break
    kill -0 "$xvfb" 2>/dev/null || { cat "$tmp/xvfb.log" >&2; echo "Xvfb ended" >&2; exit 1; }
    sleep 0.1
done
[ -s "$tmp/display" ] || { echo "Xvfb named no display" >&2; exit 1; }
export DISPLAY=":$(head -n 1 "$tmp/display")"

# The pointer rests in a corner, away from the buttons; the game gets a home,
# runtime folder and session of its own, so nothing of the user's shows.
xdotool mousemove 0 0
mkdir -m 700 "$tmp/home" "$tmp/runtime"
env -u DBUS_SESSION_BUS_ADDRESS -u WAYLAND_DISPLAY HOME="$tmp/home" XDG_RUNTIME_DIR="$tmp/runtime" \
    QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR=1 "$game" >"$tmp/game.log" 2>&1 &
game_pid=$!

window=""
for _ in $(seq 300); do
    kill -0 "$game_pid" 2>/dev/null || { cat "$tmp/game.log" >&2; echo "the game ended" >&2; exit 1; }
    window=$(xdotool search --onlyvisible --class kalvex 2>/dev/null | head -n 1) && [ -n "$window" ] && break
    sleep 0.1
done
[ -n "$window" ] || { echo "the game's window did not show within 30 s" >&2; exit 1; }

# Drawn once the picture has many colours and stays the same between two grabs.
previous=""
shot=""
for _ in $(seq 60); do
    sleep 0.5
    import -window "$window" -strip "$tmp/shot.png"
    colours=$(identify -format '%k' "$tmp/shot.png")
    signature=$(identify -format '%#' "$tmp/shot.png")
    if [ "$colours" -gt 16 ] && [ "$signature" = "$previous" ]; then
        shot="$tmp/shot.png"
        break
    fi
    previous=$signature
done
[ -n "$shot" ] || { echo "the game's window was not drawn, or kept changing, for 30 s" >&2; exit 1; }

shown=$(xwininfo -id "$window" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h }')
got=$(identify -format '%wx%h' "$shot")
if [ "$shown" != "$want" ] || [ "$got" != "$want" ]; then
    echo "the picture is not the game's window: window $shown, picture $got, the game's size $want" >&2
    exit 1
fi
cp "$shot" "$out"
echo "$out: $got"

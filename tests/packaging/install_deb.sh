#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 Kalvex developers
#
# SPDX-License-Identifier: MIT

# Installs the packed .deb into this machine with apt-get, starts the installed
# game by its menu entry's command under Xvfb and waits for its window; then
# removes the package again.
# Usage: install_deb.sh DEB_DIR
set -euo pipefail
if [ -n "${KALVEX_PACKAGE_BUILD:-}" ]; then
    echo "a package build must not change the machine it runs on; skipped"
    exit 77
fi
deb=$(ls "$(cd "$1" && pwd)"/kalvex_*.deb)
if [ "$(id -u)" -ne 0 ]; then
    echo "needs root to install a package; skipped"
    exit 77
fi

# Another install may hold the package manager's lock: wait for it.
apt=(apt-get -y -qq -o DPkg::Lock::Timeout=300)
work=$(mktemp -d)
cleanup() {
    [ -n "${game:-}" ] && kill "$game" 2>/dev/null || true
    [ -n "${xvfb:-}" ] && kill "$xvfb" 2>/dev/null || true
    DEBIAN_FRONTEND=noninteractive "${apt[@]}" remove kalvex >/dev/null 2>&1 || true
    rm -rf "$work"
}
trap cleanup EXIT

echo "installing $(basename "$deb")"
dpkg-deb -f "$deb" Depends | tr ',' '\n' | grep -q libqt6widgets6 \
    || { echo "the package does not depend on Qt's widgets library"; exit 1; }
DEBIAN_FRONTEND=noninteractive "${apt[@]}" install --no-install-recommends "$deb" >/dev/null

for path in /usr/share/metainfo/org.kalvex.Kalvex.metainfo.xml \
            /usr/share/icons/hicolor/32x32/apps/org.kalvex.Kalvex.png \
            /usr/share/icons/hicolor/256x256/apps/org.kalvex.Kalvex.png; do
    [ -e "$path" ] || { echo "missing after install: $path"; exit 1; }
done
command=$(sed -n 's/^Exec=//p' /usr/share/applications/org.kalvex.Kalvex.desktop)
echo "the menu starts: $command"

for number in $(seq 60 99); do
    [ -e "/tmp/.X$number-lock" ] || break
done
Xvfb ":$number" -screen 0 800x800x24 -nolisten tcp 2>/dev/null &
xvfb=$!
for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X$number" ] && break; sleep 0.05; done
export DISPLAY=":$number" QT_QPA_PLATFORM=xcb
# The menu's command as a desktop would run it: split at spaces, no shell.
read -r -a argv <<<"$command"
"${argv[@]}" 2>"$work/stderr" &
game=$!
window=$(timeout 30 xdotool search --sync --onlyvisible --class kalvex | head -n 1)
size=$(xdotool getwindowgeometry "$window" | sed -n 's/.*Geometry: //p')
echo "installed game shows its window, $size"
[ "$size" = "224x384" ]
# The music is read before the window shows; any trouble with it names the file.
if grep mid.mid "$work/stderr"; then
    echo "the installed game did not find its music beside it"
    exit 1
fi

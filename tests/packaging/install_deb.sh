#!/usr/bin/env bash
# Packs the game as a .deb, installs it into this machine with apt-get, starts
# the installed game under Xvfb and waits for its window; then removes it.
# Usage: install_deb.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
if [ "$(id -u)" -ne 0 ]; then
    echo "needs root to install a package; skipped"
    exit 77
fi

work=$(mktemp -d)
cleanup() {
    [ -n "${game:-}" ] && kill "$game" 2>/dev/null || true
    [ -n "${xvfb:-}" ] && kill "$xvfb" 2>/dev/null || true
    DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq kalvex >/dev/null 2>&1 || true
    rm -rf "$work"
}
trap cleanup EXIT

(cd "$work" && cpack --config "$build/CPackConfig.cmake" -B "$work" >/dev/null)
deb=$(ls "$work"/kalvex_*.deb)
echo "packed $(basename "$deb")"
dpkg-deb -f "$deb" Depends | tr ',' '\n' | grep -q libqt6widgets6 \
    || { echo "the package does not depend on Qt's widgets library"; exit 1; }
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$deb" >/dev/null

for path in /usr/bin/kalvex /usr/libexec/kalvex/kalvex /usr/libexec/kalvex/mid.mid \
            /usr/share/applications/org.kalvex.Kalvex.desktop \
            /usr/share/metainfo/org.kalvex.Kalvex.metainfo.xml \
            /usr/share/icons/hicolor/32x32/apps/org.kalvex.Kalvex.png \
            /usr/share/icons/hicolor/256x256/apps/org.kalvex.Kalvex.png; do
    [ -e "$path" ] || { echo "missing after install: $path"; exit 1; }
done

for number in $(seq 60 99); do
    [ -e "/tmp/.X$number-lock" ] || break
done
Xvfb ":$number" -screen 0 800x800x24 -nolisten tcp 2>/dev/null &
xvfb=$!
for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X$number" ] && break; sleep 0.05; done
export DISPLAY=":$number" QT_QPA_PLATFORM=xcb
kalvex 2>/dev/null &
game=$!
window=$(timeout 30 xdotool search --sync --onlyvisible --class kalvex | head -n 1)
size=$(xdotool getwindowgeometry "$window" | sed -n 's/.*Geometry: //p')
echo "installed game shows its window, $size"
[ "$size" = "224x384" ]

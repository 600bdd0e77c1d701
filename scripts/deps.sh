#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 Kalvex developers
#
# SPDX-License-Identifier: MIT

# Installs the Debian packages that building, playing and testing need.
# Works as root or through sudo; does nothing when everything is present.
# With --tests, also what only the tests need.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev libgl-dev libxcb1-dev
    libgtest-dev
    fonts-nanum
    libfluidsynth-dev libsndfile1-dev libasound2-dev libpulse-dev libseccomp-dev timgm6mb-soundfont
    pulseaudio pulseaudio-utils libasound2-plugins pipewire pipewire-pulse wireplumber strace
    libgif-dev libimagequant-dev libjpeg-dev
    xvfb xauth x11-utils imagemagick
    xdotool dbus dbus-x11 at-spi2-core python3-pyatspi python3-xlib python3-gi
    weston xwayland qt6-wayland
    kwin-x11 kwin-style-breeze mutter
    dpkg-dev debhelper file desktop-file-utils appstream lintian reuse man-db
)

# The music's tests also render with Debian's larger General MIDI bank. Once
# installed it is the machine's default bank, so only the tests ask for it.
if [ "${1:-}" = "--tests" ]; then
    packages+=(fluid-soundfont-gm)
fi

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq -o DPkg::Lock::Timeout=300
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq -o DPkg::Lock::Timeout=300 --no-install-recommends "${missing[@]}"

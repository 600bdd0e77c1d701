#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 Kalvex developers
#
# SPDX-License-Identifier: MIT

# Packs the game as a .deb into a fresh OUT_DIR, for the tests that check it.
# Usage: pack_deb.sh BUILD_DIR OUT_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
rm -rf "$2"
mkdir -p "$2"
cd "$2"
cpack --config "$build/CPackConfig.cmake" -B "$PWD" >/dev/null
rm -rf _CPack_Packages
ls kalvex_*.deb

#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 Kalvex developers
#
# SPDX-License-Identifier: MIT

# Builds the binary package from debian/, without its tests, in a copy of the
# tree inside a fresh OUT_DIR, and leaves the .deb there for the tests that
# check it. The copy keeps the build's files out of the tree.
# Usage: pack_deb.sh SOURCE_DIR OUT_DIR
set -euo pipefail
if [ -n "${KALVEX_PACKAGE_BUILD:-}" ]; then
    echo "a package build does not build the package again; skipped"
    exit 77
fi
source=$(cd "$1" && pwd)
rm -rf "$2"
mkdir -p "$2/src/kalvex"
out=$(cd "$2" && pwd)
if [ -e "$source/.git" ]; then
    # The files git knows or would add, as they are now, edits included.
    (cd "$source" && git ls-files -z --cached --others --exclude-standard) \
        | (cd "$source" && xargs -0 -r tar -c --no-recursion --ignore-failed-read -f - --) | tar -x -C "$out/src/kalvex"
else
    tar -C "$source" -c --exclude=./build --exclude=./obj-* . | tar -x -C "$out/src/kalvex"
fi
cd "$out/src/kalvex"
DEB_BUILD_OPTIONS="nocheck parallel=2" dpkg-buildpackage -b -uc -us -Pnocheck >"$out/build.log" 2>&1 \
    || { tail -n 40 "$out/build.log"; exit 1; }
mv "$out"/src/kalvex_*.deb "$out"/
rm -rf "$out/src"
ls "$out"/kalvex_*.deb

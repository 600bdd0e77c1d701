#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 Kalvex developers
#
# SPDX-License-Identifier: MIT

# Builds the Debian source package of the committed tree, then builds and tests
# it the way Debian's builders do: sbuild in unshare mode from a clean bookworm
# chroot, as an unprivileged build user with the network cut off, running the
# whole test suite; lintian on everything built; autopkgtest against the built
# package. With --twice, builds the package a second time and compares the
# .deb files byte for byte.
# Usage: scripts/debian-build.sh [--twice]   (results in build/debian)
set -euo pipefail
cd "$(dirname "$0")/.."
twice=false
[ "${1:-}" = --twice ] && twice=true

for tool in sbuild mmdebstrap autopkgtest lintian newuidmap dpkg-buildpackage dh; do
    command -v "$tool" >/dev/null || {
        echo "missing $tool: apt-get install sbuild mmdebstrap autopkgtest lintian uidmap debhelper"
        exit 1
    }
done
user=$(id -un)
if ! grep -q "^$user:" /etc/subuid || ! grep -q "^$user:" /etc/subgid; then
    echo "unshare mode needs subordinate ids for $user, for example:"
    echo "  sudo usermod --add-subuids 100000-165535 --add-subgids 100000-165535 $user"
    exit 1
fi

arch=$(dpkg --print-architecture)
version=$(sed -n '1s/^kalvex (\([^)]*\)).*/\1/p' debian/changelog)
out=$PWD/build/debian
rm -rf "$out"
mkdir -p "$out"

# The chroot is made once, from the Debian mirror this machine's apt uses.
tarball=${XDG_CACHE_HOME:-$HOME/.cache}/sbuild/bookworm-$arch.tar.zst
if [ ! -e "$tarball" ]; then
    mirror=$(apt-get indextargets --format '$(REPO_URI) $(CODENAME) $(ORIGIN)' \
        | awk '$2 == "bookworm" && $3 == "Debian" { print $1; exit }')
    mirror=${mirror:-http://deb.debian.org/debian/}
    mkdir -p "$(dirname "$tarball")"
    mmdebstrap --variant=buildd bookworm "$tarball" "$mirror"
fi

echo "== source package of $(git rev-parse --short HEAD) (committed files only)"
mkdir "$out/src"
git archive --prefix="kalvex-$version/" HEAD | tar -x -C "$out/src"
(cd "$out/src/kalvex-$version" && dpkg-buildpackage -S -us -uc -d >"$out/source.log" 2>&1) \
    || { tail -n 30 "$out/source.log"; exit 1; }
mv "$out/src/kalvex_$version"[._]* "$out/"

build() {
    mkdir -p "$1"
    (cd "$1" && time sbuild --chroot-mode=unshare --chroot="$tarball" --dist=bookworm \
        --arch="$arch" --jobs=2 --no-run-lintian --no-run-piuparts --no-run-autopkgtest \
        --nolog "$out/kalvex_$version.dsc" >"$1/sbuild.log" 2>&1) \
        || { tail -n 60 "$1/sbuild.log"; echo "sbuild failed: $1/sbuild.log"; exit 1; }
    grep -E '^(Status|Build-Time|Package-Time|real)|tests passed|tests failed|\*\*\*Skipped' "$1/sbuild.log" || true
}
echo "== sbuild"
build "$out"

echo "== lintian"
lintian --pedantic -I -E --fail-on error,warning,info,pedantic,experimental \
    "$out/kalvex_$version.dsc" "$out/kalvex_${version}_source.changes" \
    "$out/kalvex_${version}_$arch.changes" "$out/kalvex_${version}_$arch.deb"
echo "lintian: nothing left but overrides"

echo "== autopkgtest"
# The chroot tarball has no package lists: the testbed fetches them first.
(time autopkgtest --apt-upgrade --output-dir "$out/autopkgtest" "$out/kalvex_${version}_$arch.deb" \
    "$out/kalvex_$version.dsc" -- unshare --release bookworm --arch "$arch" --tarball "$tarball") \
    >"$out/autopkgtest.log" 2>&1 || { tail -n 40 "$out/autopkgtest.log"; echo "autopkgtest failed"; exit 1; }
sed -n '/^Removing autopkgtest-satdep/,/^plays-installed-game/p' "$out/autopkgtest.log" | tail -n +2
grep '^real' "$out/autopkgtest.log"

if $twice; then
    echo "== sbuild again, to compare"
    build "$out/again"
    for deb in "$out"/*.deb; do
        cmp "$deb" "$out/again/$(basename "$deb")"
        echo "identical: $(basename "$deb")"
    done
fi

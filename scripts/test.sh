#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds Kalvex with its tests and runs them all.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DBUILD_TESTING=ON
cmake --build build/test -j2
cd build/test
ctest --output-on-failure -j2 --timeout 300

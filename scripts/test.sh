#!/usr/bin/env bash
# Installs what is needed, builds Velkamo and its tests, and runs every test, each in a
# network sandbox of its own. Exit status: 0 only when every test passed.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
build=${VELKAMO_BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=ON
cmake --build "$build" -j"$(nproc)"
cd "$build"
ctest --output-on-failure -j2 --timeout 600

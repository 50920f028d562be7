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
# A suite spends most of its time waiting on the simulator's and the fake BlueZ's timers, so
# twice as many suites as cores run at once.
ctest --output-on-failure -j"$(( $(nproc) * 2 ))" --timeout 600

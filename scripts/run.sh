#!/usr/bin/env bash
# Installs what is needed, builds Velkamo and runs it against the simulated camera, inside a
# network sandbox so that nothing reaches a real network. Without a display it runs under a
# private X server and saves a screenshot (docs/screenshot.png) after a few seconds.
#
#   bash scripts/run.sh            # with the simulated camera
#   VELKAMO_MODEL=9 bash scripts/run.sh   # simulate another model (5..13)
#   VELKAMO_CAMERA_STATUS="recording=1&battery=64" bash scripts/run.sh   # the camera's status
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
build=${VELKAMO_BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" -j"$(nproc)" --target velkamo velkamo-camsim

export VELKAMO_BUILD="$PWD/$build"
export VELKAMO_SHOT="$PWD/docs/screenshot.png"
if [ -n "${DISPLAY:-}" ]; then
  export VELKAMO_SCREENSHOT_AFTER="${VELKAMO_SCREENSHOT_AFTER:-}"
  exec tests/sandbox-run bash scripts/run-inside-sandbox.sh
else
  export VELKAMO_SCREENSHOT_AFTER="${VELKAMO_SCREENSHOT_AFTER:-8}"
  # A laptop's screen: the first window takes most of it.
  export VELKAMO_TEST_SCREEN="${VELKAMO_TEST_SCREEN:-1366x768x24}"
  exec tests/sandbox-run --xvfb bash scripts/run-inside-sandbox.sh
fi

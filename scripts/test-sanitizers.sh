#!/usr/bin/env bash
# Builds a second tree (build-asan/) with AddressSanitizer and UndefinedBehaviorSanitizer and
# runs the whole suite there. Any finding, in a test or in a process it starts, fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${VELKAMO_SANITIZE_BUILD_DIR:-build-asan}
# -O1, sources compiled in batches (unity build) and no benchmarks keep this build short; the
# stacks stay readable.
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g1" \
  -DCMAKE_UNITY_BUILD=ON -DBUILD_TESTING=ON -DVELKAMO_BENCH=OFF -DVELKAMO_SANITIZE=ON
cmake --build "$build" -j"$(nproc)"
reports="$build/sanitizer-reports"
rm -rf "$reports"
mkdir -p "$reports"
status=0
(cd "$build" && ctest --output-on-failure -j"$(( $(nproc) * 2 ))") || status=$?
# A child process (the simulator, a copy of the program) may end on a finding without failing
# its test, so any report at all fails the run. AddressSanitizer writes its reports to files;
# UndefinedBehaviorSanitizer only to standard error, which lands in CTest's log.
if compgen -G "$reports/*" >/dev/null; then
  for report in "$reports"/*; do
    echo "=== $report"
    cat "$report"
  done
  echo "sanitizers: findings above" >&2
  status=1
fi
if grep -n ': runtime error: ' "$build/Testing/Temporary/LastTest.log"; then
  echo "sanitizers: undefined behaviour above" >&2
  status=1
fi
exit "$status"

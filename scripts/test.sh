#!/usr/bin/env bash
# Builds everything from nothing and runs every test: the release build
# with warnings as errors, the AddressSanitizer + UBSan build, a short
# run of each fuzz target on its committed corpus, and the Windows build
# under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh test
jobs=$(nproc)

for preset in ci asan; do
  echo "== $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
  ctest --preset "$preset" -j "$jobs"
done

echo "== fuzz smoke"
bash scripts/fuzz-smoke.sh 30

echo "== windows: the MinGW build under Wine, against the ci build's files"
bash tests/windows/run.sh build/ci/genera_scenario
